// A fresh, empty folder for one test's fixture files, removed with its content afterwards.
// Its path uses backslashes on every build: under Windows it lies in the temp folder; natively
// it lies under /tmp and is written "\tmp\...", which the native layer maps back to '/'.
#pragma once
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include "framework/native_path.h"
#endif

class CTestFolder {
public:
    CTestFolder() {
#ifdef _WIN32
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        static unsigned counter = 0;
        for (;;) {
            m_path = std::string(temp) + "core_test_" + std::to_string(::GetCurrentProcessId()) +
                     "_" + std::to_string(++counter);
            if (::CreateDirectoryA(m_path.c_str(), nullptr)) {
                m_created = true;
                break;
            }
            if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
        }
#else
        char pattern[] = "/tmp/core_test_XXXXXX";
        const char* made = ::mkdtemp(pattern);
        m_path = made ? made : "/tmp/core_test_failed";
        m_created = made != nullptr;
        std::replace(m_path.begin(), m_path.end(), '/', '\\');
#endif
    }
    ~CTestFolder() {
        if (m_created) RemoveTree(m_path);
    }
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Join(const std::string& relative) const { return m_path + "\\" + relative; }

    // Writes a file (relative path inside the folder) with exactly the given bytes.
    bool WriteFile(const std::string& relative, const std::string& content) const {
#ifdef _WIN32
        HANDLE file = ::CreateFileA(Join(relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const BOOL ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()),
                                    &written, nullptr);
        ::CloseHandle(file);
        return ok && written == content.size();
#else
        FILE* file = std::fopen(NativePath(Join(relative)).c_str(), "wb");
        if (!file) return false;
        const bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
        return std::fclose(file) == 0 && ok;
#endif
    }

    bool MakeFolder(const std::string& relative) const {
#ifdef _WIN32
        return ::CreateDirectoryA(Join(relative).c_str(), nullptr) != FALSE;
#else
        return ::mkdir(NativePath(Join(relative)).c_str(), 0755) == 0;
#endif
    }

    // The path as the operating system takes it.
    static std::string NativePath(std::string path) {
#ifdef _WIN32
        return path;
#else
        return ToNativePath(path);
#endif
    }

private:
    static void RemoveTree(const std::string& path) {
#ifdef _WIN32
        WIN32_FIND_DATAA data;
        HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                const std::string child = path + "\\" + name;
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                    !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                    RemoveTree(child);
                } else {
                    ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                    ::DeleteFileA(child.c_str());
                }
            } while (::FindNextFileA(find, &data));
            ::FindClose(find);
        }
        ::RemoveDirectoryA(path.c_str());
#else
        std::error_code ignored;
        std::filesystem::remove_all(NativePath(path), ignored);
#endif
    }

    std::string m_path;
    bool m_created = false;
};
