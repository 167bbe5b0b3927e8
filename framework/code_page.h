// Text rules of the system's ANSI code page, which may be a double-byte one (Shift-JIS):
// a trail byte is never taken for a separator, and case is folded per character.
// Windows asks the system; the native build follows the code page set with SetNativeCodePage.
#pragma once
#include <cstddef>
#include <string>

// True when the byte starts a double-byte character in the current ANSI code page.
bool IsLeadByte(unsigned char byte);

// Index of the last backslash that is a separator (not a trail byte), or std::string::npos.
std::size_t FindLastBackslash(const std::string& text);

// Equality without regard to case: ASCII letters either case, a double-byte character as one
// unit after the system's case mapping.
bool EqualNoCase(const std::string& left, const std::string& right);

#ifndef _WIN32
// Native build only: the code page whose rules apply (1252, the default, or 932).
void SetNativeCodePage(unsigned codePage);
#endif
