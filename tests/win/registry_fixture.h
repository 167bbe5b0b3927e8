// Registry and folder set-up for the tests of the registry clean-up and the viewer retirement:
// keys in the 32-bit view of HKEY_LOCAL_MACHINE (the view the program works in), unique names,
// test folders on drive C and the viewer stand-in from the build folder.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>
#include "tests/win/test_files.h"

namespace regtest {

constexpr REGSAM kView32 = KEY_WOW64_32KEY;

// A name no other test (or earlier run) uses: program id, a counter and the tick count.
inline std::string UniqueName(const std::string& stem) {
    static unsigned counter = 0;
    return stem + "_" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++counter) +
           "_" + std::to_string(::GetTickCount() % 100000);
}

// Key paths and names as the W registry calls take them (the ...A calls of some systems refuse
// key paths over 260 characters). Test names are plain ASCII.
inline std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Creates the key (and every missing key above it) in the 32-bit view, with string values.
inline bool CreateKey(const std::string& path,
                      const std::vector<std::pair<std::string, std::string>>& values = {}) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS | kView32, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool ok = true;
    for (const auto& value : values) {
        ok = ok && ::RegSetValueExA(key, value.first.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.second.c_str()),
                                    static_cast<DWORD>(value.second.size() + 1)) == ERROR_SUCCESS;
    }
    ::RegCloseKey(key);
    return ok;
}

inline bool KeyExists(const std::string& path, REGSAM view = kView32) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_READ | view, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

inline bool ValueExists(const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_READ | kView32, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    const bool found = ::RegQueryValueExW(key, Wide(name).c_str(), nullptr, nullptr, nullptr,
                                          nullptr) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return found;
}

// Deletes the key with everything below it (test clean-up only).
inline void DeleteTree(const std::string& path, REGSAM view = kView32) {
    const std::size_t slash = path.rfind('\\');
    const std::string parentPath = slash == std::string::npos ? "" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    HKEY parent = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(parentPath).c_str(), 0, KEY_ALL_ACCESS | view,
                        &parent) != ERROR_SUCCESS) {
        return;
    }
    ::RegDeleteTreeW(parent, Wide(name).c_str());
    ::RegDeleteKeyW(parent, Wide(name).c_str());
    ::RegCloseKey(parent);
}

using testfiles::PathExists;

inline bool MakeFolders(const std::string& path) {
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') ::CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    return PathExists(path);
}

using testfiles::RemoveTree;

inline bool WriteTextFile(const std::string& path, const std::string& content) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                                nullptr);
    ::CloseHandle(file);
    return ok && written == content.size();
}

inline std::string ReadTextFile(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    ::CloseHandle(file);
    return content;
}

using testfiles::BuildFolder;

// A test whose keys lie below SOFTWARE\<unique> of the 32-bit view, removed with their content
// afterwards.
class CScratchKeyTest : public testing::Test {
protected:
    explicit CScratchKeyTest(const std::string& stem) : m_base("SOFTWARE\\" + UniqueName(stem)) {}
    void TearDown() override { DeleteTree(m_base); }
    std::string Key(const std::string& relative) const { return m_base + "\\" + relative; }

    const std::string m_base;
};

inline std::string StandInViewer() { return BuildFolder() + "\\pelbox.exe"; }

// A fresh folder C:\regtests\<unique>, removed with its content afterwards.
class CDriveFolder {
public:
    explicit CDriveFolder(const std::string& stem) : m_path("C:\\regtests\\" + UniqueName(stem)) {
        MakeFolders(m_path);
    }
    ~CDriveFolder() { RemoveTree(m_path); }
    CDriveFolder(const CDriveFolder&) = delete;
    CDriveFolder& operator=(const CDriveFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Join(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

}  // namespace regtest
