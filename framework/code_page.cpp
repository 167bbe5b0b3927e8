// The code-page rules that need no system call: they build on IsLeadByte, which each platform
// answers in its own file.
#include "framework/code_page.h"

std::size_t FindLastBackslash(const std::string& text) {
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            ++i;   // the trail byte may equal '\\' but belongs to the character
        } else if (text[i] == '\\') {
            found = i;
        }
    }
    return found;
}
