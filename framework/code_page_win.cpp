// Code-page rules on Windows: the system's ANSI code page decides lead bytes, and case is
// folded per character with the system's upper-case mapping.
#include "framework/code_page.h"
#include <windows.h>
#include <vector>

namespace {
char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The text as UTF-16, each double-byte character one unit; false for a byte sequence that is
// no text of the code page (it is then compared byte by byte instead).
bool ToWide(const std::string& text, std::vector<wchar_t>& wide) {
    const int length = static_cast<int>(text.size());
    const int needed =
        ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0) return false;
    wide.resize(static_cast<std::size_t>(needed));
    return ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(),
                                 needed) == needed;
}

// Fallback for texts that do not convert: ASCII letters folded, double-byte units exact.
bool EqualBytesNoCase(const std::string& left, const std::string& right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(left[i])) && i + 1 < left.size()) {
            if (left[i] != right[i] || left[i + 1] != right[i + 1]) return false;
            ++i;
        } else if (FoldAscii(left[i]) != FoldAscii(right[i])) {
            return false;
        }
    }
    return true;
}
}  // namespace

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

bool EqualNoCase(const std::string& left, const std::string& right) {
    if (left == right) return true;
    // Plain ASCII is the common case (a listing of a large folder): no conversion needed.
    if (IsAscii(left) && IsAscii(right)) return EqualBytesNoCase(left, right);
    // An ordinal comparison after upper-casing, unlike a linguistic one, never ignores
    // characters, so only texts that name the same file compare equal.
    std::vector<wchar_t> wideLeft, wideRight;
    if (!ToWide(left, wideLeft) || !ToWide(right, wideRight)) return EqualBytesNoCase(left, right);
    return ::CompareStringOrdinal(wideLeft.data(), static_cast<int>(wideLeft.size()),
                                  wideRight.data(), static_cast<int>(wideRight.size()),
                                  TRUE) == CSTR_EQUAL;
}
