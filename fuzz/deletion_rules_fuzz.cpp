// The deletion safety test on arbitrary paths: whatever it allows is fully qualified, short
// enough, free of wildcards and relative components, and neither is nor contains a protected
// folder (checked here by a plain, independent comparison).
#include <cctype>
#include <cstdlib>
#include <string>
#include "sys/deletion_safety.h"

namespace {

const CStringList kProtected = {
    "C:\\Windows", "C:\\Windows\\System32", "C:\\Program Files", "C:\\Program Files (x86)",
    "C:\\ProgramData", "C:\\users", "C:\\users\\nobody", "C:\\users\\Public\\Desktop",
    "C:\\users\\nobody\\Temp", "C:\\PROGRA~1",
};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// True when candidate is folder itself or one of its ancestors (compared without case).
bool IsOrContains(const std::string& candidate, const std::string& folder) {
    std::string c = Lower(candidate), f = Lower(folder);
    if (c == f) return true;
    return f.size() > c.size() && f.compare(0, c.size(), c) == 0 && f[c.size()] == '\\';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path(reinterpret_cast<const char*>(data), size);
    path = path.substr(0, path.find('\0'));
    if (JudgeDeletionPath(path, kProtected) != DeletionVerdict::Allowed) return 0;

    if (path.size() > kMaxDeletionPath) std::abort();
    if (path.find_first_of("*?/") != std::string::npos) std::abort();
    bool drive = path.size() > 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                 path[1] == ':' && path[2] == '\\';
    bool share = path.size() > 2 && path[0] == '\\' && path[1] == '\\';
    if (!drive && !share) std::abort();
    CStringList components;
    SplitTokens(path, components, "\\");
    for (const std::string& component : components)
        if (component == "." || component == "..") std::abort();
    for (const std::string& folder : kProtected)
        if (IsOrContains(path, folder)) std::abort();
    return 0;
}
