// Code-page rules of the native build: code page 1252 (no double-byte characters) by default,
// Shift-JIS (932) when set, so that the portable logic can be checked against both.
#include "framework/code_page.h"

namespace {
unsigned g_codePage = 1252;

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
}  // namespace

void SetNativeCodePage(unsigned codePage) { g_codePage = codePage; }

bool IsLeadByte(unsigned char byte) {
    if (g_codePage != 932) return false;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool EqualNoCase(const std::string& left, const std::string& right) {
    // Folding touches ASCII letters only and a double-byte character is compared as a whole,
    // so equal texts always have equal byte lengths.
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(left[i]);
        if (IsLeadByte(byte) && i + 1 < left.size()) {
            if (left[i] != right[i] || left[i + 1] != right[i + 1]) return false;
            ++i;
        } else if (FoldAscii(left[i]) != FoldAscii(right[i])) {
            return false;
        }
    }
    return true;
}
