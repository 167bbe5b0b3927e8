// Profile reading of the native build.
#include "framework/profile_reader.h"

unsigned long ReadProfileString(const char*, const char*, const char*, char* buffer,
                                unsigned long size, const char*) {
    if (size > 0) buffer[0] = '\0';
    return 0;
}
