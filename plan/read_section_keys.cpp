// The key names of one section of a plan file, read through the 260-byte key-name buffer.
#include "plan/read_section_keys.h"
#include "framework/profile_reader.h"

int ReadSectionKeys(const char* section, CStringList& list, const char* planPath) {
    // Zero-filled first: a reader that cuts the list may leave the last byte unwritten.
    char buffer[kSectionKeysBufferSize] = {};
    ReadProfileString(section, nullptr, "0", buffer, kSectionKeysBufferSize, planPath);
    // Each name ends in a NUL; as commas they make one text that splits into the names (a
    // name holding a comma becomes two). The last byte stays the terminating NUL.
    for (unsigned long i = 0; i + 1 < kSectionKeysBufferSize; ++i)
        if (buffer[i] == '\0') buffer[i] = ',';
    SplitTokens(std::string(buffer, kSectionKeysBufferSize - 1), list);
    return static_cast<int>(list.size());
}
