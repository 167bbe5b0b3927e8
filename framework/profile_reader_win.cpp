// Profile reading on Windows: the system's own reader.
#include "framework/profile_reader.h"
#include <windows.h>

unsigned long ReadProfileString(const char* section, const char* key, const char* defaultText,
                                char* buffer, unsigned long size, const char* path) {
    return ::GetPrivateProfileStringA(section, key, defaultText, buffer, size, path);
}
