// Cutting texts into lists, testing whether a file exists, shortening a registry key path.
#include "sys/string_utils.h"

int SplitTokens(const std::string&, CStringList&, const char*) { return 0; }
int SplitTokens(const std::string& text, CStringList& list) { return SplitTokens(text, list, ","); }
int ContainsNoCase(const std::string&, const CStringList&) { return 0; }
int ListFiles(const std::string&, CStringList& list) { return static_cast<int>(list.size()); }
void SortStrings(CStringList&) {}
int FileExists(const std::string&) { return 0; }
std::string ParentKeyPath(const std::string&) { return std::string(); }
