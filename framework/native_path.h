// Native build only: a Windows-style path as Linux takes it. Separating backslashes become
// '/'; a trail byte equal to the backslash byte belongs to its character and stays.
#pragma once
#include <string>
#include "framework/code_page.h"

inline std::string ToNativePath(std::string path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size())
            ++i;
        else if (path[i] == '\\')
            path[i] = '/';
    }
    return path;
}
