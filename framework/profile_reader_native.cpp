// Profile (INI) reading of the native build, with the rules of the Windows reader that the
// program relies on (see profile_reader.h). Backslashes in the path stand for '/', and the
// file's name is found without regard to case, as Windows file names are.
#include "framework/profile_reader.h"
#include <dirent.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "framework/code_page.h"
#include "framework/native_path.h"

namespace {
struct CKeyLine {
    std::string key;
    std::string value;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// One pair of enclosing quotes, double or single, is no part of the value.
std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

// Reads the file at a Windows-style path; the last component matches without regard to case.
bool ReadProfileFile(const char* windowsPath, std::string& content) {
    if (!windowsPath || !*windowsPath) return false;
    const std::string path = ToNativePath(windowsPath);
    if (ReadWholeFile(path, content)) return true;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return false;
    std::string found;
    while (const dirent* item = ::readdir(dir)) {
        if (EqualNoCase(item->d_name, name)) {
            found = item->d_name;
            break;
        }
    }
    ::closedir(dir);
    if (found.empty()) return false;
    content.clear();
    return ReadWholeFile((folder == "/" ? "" : folder) + "/" + found, content);
}

// The section names and, of the first section named sectionWanted (if given), its key lines.
// Lines: "[name]" opens a section (text after ']' ignored), "key=value" belongs to the open
// section, lines starting with ';' are comments; anything else, and anything before the first
// section, is ignored.
void ParseProfile(const std::string& content, const char* sectionWanted,
                  std::vector<std::string>& sections, bool& sectionFound,
                  std::vector<CKeyLine>& keys) {
    sectionFound = false;
    bool inWanted = false;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find('\n', pos);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t begin = 0;
        while (begin < line.size() && IsBlank(line[begin])) ++begin;
        if (begin == line.size() || line[begin] == ';') continue;
        if (line[begin] == '[') {
            const std::size_t close = line.find(']', begin + 1);
            if (close == std::string::npos) continue;
            const std::string name = Trim(line.substr(begin + 1, close - begin - 1));
            sections.push_back(name);
            // Only the first section of a name counts; a repeated header does not reopen it.
            inWanted = sectionWanted && !sectionFound && EqualNoCase(name, sectionWanted);
            if (inWanted) sectionFound = true;
            continue;
        }
        if (!inWanted) continue;
        const std::size_t equals = line.find('=', begin);
        if (equals == std::string::npos) continue;
        keys.push_back({Trim(line.substr(begin, equals - begin)),
                        Unquote(Trim(line.substr(equals + 1)))});
    }
}

unsigned long StoreText(const std::string& text, char* buffer, unsigned long size) {
    const unsigned long length = std::min<unsigned long>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

unsigned long StoreDefault(const char* defaultText, char* buffer, unsigned long size) {
    std::string text = defaultText ? defaultText : "";
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    return StoreText(text, buffer, size);
}

// Names each followed by a NUL, one more NUL after the last. A list that does not fit is cut
// so that its last name ends at byte size - 3 with a NUL after it; the last byte of the buffer
// is then left as it was (as Wine does; Windows writes a second NUL there).
unsigned long StoreNameList(const std::vector<std::string>& names, const char* defaultText,
                            char* buffer, unsigned long size) {
    if (names.empty() || size <= 2) return StoreDefault(defaultText, buffer, size);
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '\0';
    }
    list += '\0';
    if (list.size() <= size - 1) {
        std::memcpy(buffer, list.data(), list.size());
        return static_cast<unsigned long>(list.size() - 1);
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    return size - 2;
}
}  // namespace

unsigned long ReadProfileString(const char* section, const char* key, const char* defaultText,
                                char* buffer, unsigned long size, const char* path) {
    if (!buffer || size == 0) return 0;
    std::string content;
    if (!ReadProfileFile(path, content)) return StoreDefault(defaultText, buffer, size);

    std::vector<std::string> sections;
    std::vector<CKeyLine> keys;
    bool sectionFound = false;
    ParseProfile(content, section, sections, sectionFound, keys);

    if (!section) return StoreNameList(sections, defaultText, buffer, size);
    if (!key) {
        std::vector<std::string> names;
        names.reserve(keys.size());
        for (const CKeyLine& line : keys) names.push_back(line.key);
        return StoreNameList(names, defaultText, buffer, size);
    }
    for (const CKeyLine& line : keys)
        if (EqualNoCase(line.key, key)) return StoreText(line.value, buffer, size);
    return StoreDefault(defaultText, buffer, size);
}

bool ProfileHoldsNulByte(const char* path) {
    std::string content;
    return ReadProfileFile(path, content) && content.find('\0') != std::string::npos;
}
