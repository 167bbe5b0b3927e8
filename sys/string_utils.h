// Cutting texts into lists, testing whether a file exists, and shortening a registry key path.
#pragma once
#include <string>
#include <vector>

using CStringList = std::vector<std::string>;

// Appends the tokens of text to list (runs of delimiter bytes separate tokens; empty tokens
// never appear; the split is byte by byte, so a trail byte equal to a delimiter also splits).
// Returns how many tokens were appended. The whole text is taken, whatever its length.
int SplitTokens(const std::string& text, CStringList& list, const char* delimiters);
int SplitTokens(const std::string& text, CStringList& list);   // delimiter ","

// 1 when some string of list equals text without regard to case, else 0.
int ContainsNoCase(const std::string& text, const CStringList& list);

// Appends the names of the entries matching pattern that are not folders, sorts the whole list
// with SortStrings, and returns its size.
int ListFiles(const std::string& pattern, CStringList& list);

// Sorts ascending by unsigned bytes, a prefix before the longer string; stable.
void SortStrings(CStringList& list);

// 1 when path names an existing file (not a folder), found by listing its folder; else 0.
int FileExists(const std::string& path);

// The key path without its last component: the non-empty components but the last, joined with
// single backslashes; empty for zero or one component.
std::string ParentKeyPath(const std::string& keyPath);
