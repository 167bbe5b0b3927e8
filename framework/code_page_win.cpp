// Code-page rules on Windows: the system's ANSI code page decides lead bytes and case folding.
#include "framework/code_page.h"
#include <windows.h>

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != 0; }
std::size_t FindLastBackslash(const std::string&) { return std::string::npos; }
bool EqualNoCase(const std::string& left, const std::string& right) { return left == right; }
