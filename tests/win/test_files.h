// File helpers the Win32 tests share: the build folder, whether a path exists, and removing a
// test's own tree (straight through the shell, so that the program's safety rules never stand
// in the way).
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>

namespace testfiles {

// The folder of this test program: the build puts the program, the tools and the viewer
// stand-in beside it.
inline std::string BuildFolder() {
    char path[MAX_PATH * 2] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof(path) - 1);
    const std::string program(path, length);
    const std::size_t slash = program.rfind('\\');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

inline bool PathExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void RemoveTree(const std::string& path) {
    if (!PathExists(path)) return;
    std::vector<char> from(path.begin(), path.end());
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    ::SHFileOperationA(&operation);
}

}  // namespace testfiles
