// Cutting texts into lists, testing whether a file exists, and shortening a registry key path.
#include "sys/string_utils.h"
#include <algorithm>
#include <cstring>
#include "framework/code_page.h"
#include "framework/file_find.h"

int SplitTokens(const std::string& text, CStringList& list, const char* delimiters) {
    bool isDelimiter[256] = {};
    for (const char* d = delimiters ? delimiters : ""; *d; ++d)
        isDelimiter[static_cast<unsigned char>(*d)] = true;
    // Callers hand over C texts: a NUL ends the text.
    const std::size_t length = std::min(text.size(), std::strlen(text.c_str()));
    int count = 0;
    std::size_t i = 0;
    while (i < length) {
        while (i < length && isDelimiter[static_cast<unsigned char>(text[i])]) ++i;
        const std::size_t begin = i;
        while (i < length && !isDelimiter[static_cast<unsigned char>(text[i])]) ++i;
        if (i > begin) {
            list.emplace_back(text, begin, i - begin);
            ++count;
        }
    }
    return count;
}

int SplitTokens(const std::string& text, CStringList& list) { return SplitTokens(text, list, ","); }

int ContainsNoCase(const std::string& text, const CStringList& list) {
    for (const std::string& item : list)
        if (EqualNoCase(text, item)) return 1;
    return 0;
}

int ListFiles(const std::string& pattern, CStringList& list) {
    CFileFind finder;
    for (bool found = finder.FindFile(pattern); found; found = finder.FindNextFile())
        if (!finder.IsDirectory()) list.push_back(finder.GetFileName());
    SortStrings(list);
    return static_cast<int>(list.size());
}

void SortStrings(CStringList& list) {
    // Byte by byte on unsigned values, a prefix before the longer text; equal texts keep
    // their order.
    std::stable_sort(list.begin(), list.end(), [](const std::string& left, const std::string& right) {
        const std::size_t common = std::min(left.size(), right.size());
        const int order = common ? std::memcmp(left.data(), right.data(), common) : 0;
        return order != 0 ? order < 0 : left.size() < right.size();
    });
}

int FileExists(const std::string& path) {
    const std::size_t slash = FindLastBackslash(path);
    if (slash == std::string::npos) return 0;
    const std::string name = path.substr(slash + 1);
    if (name.empty()) return 0;
    CStringList names;
    if (ListFiles(path.substr(0, slash) + "\\*", names) == 0) return 0;
    return ContainsNoCase(name, names);
}

std::string ParentKeyPath(const std::string& keyPath) {
    CStringList components;
    SplitTokens(keyPath, components, "\\");
    std::string parent;
    for (std::size_t i = 0; i + 1 < components.size(); ++i) {
        if (i > 0) parent += '\\';
        parent += components[i];
    }
    return parent;
}
