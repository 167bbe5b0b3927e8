// Profile reading on Windows: the system's own reader.
#include "framework/profile_reader.h"
#include <windows.h>
#include <cstring>
#include "framework/unique_handle.h"

unsigned long ReadProfileString(const char* section, const char* key, const char* defaultText,
                                char* buffer, unsigned long size, const char* path) {
    return ::GetPrivateProfileStringA(section, key, defaultText, buffer, size, path);
}

bool ProfileHoldsNulByte(const char* path) {
    CFileHandleOwner file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    char chunk[16384];
    DWORD got = 0;
    while (::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
        if (std::memchr(chunk, 0, got)) return true;
    }
    return false;
}
