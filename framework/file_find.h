// Directory search over FindFirstFileA/FindNextFileA (on Linux, over the folder's entries with
// the same case-insensitive wildcard match). "." and ".." are reported like any other entry.
#pragma once
#include <memory>
#include <string>
#ifdef _WIN32
// windows.h maps FindNextFile to FindNextFileA; included here first, its include guard keeps
// the macro from coming back, so the member below keeps its name in every file.
#include <windows.h>
#undef FindNextFile
#endif

class CFileFind {
public:
    CFileFind();
    ~CFileFind();
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts a search on a pattern (folder, backslash, name with * and ?) or an exact path.
    // True when something matched; the first match is then the current entry.
    bool FindFile(const std::string& pattern);
    // Moves to the next match; false (and no current entry) when there is none.
    bool FindNextFile();
    void Close();

    // The current entry: its name, its full path (the search folder made absolute, a
    // backslash, the name) and its attributes.
    const std::string& GetFileName() const;
    std::string GetFilePath() const;
    bool IsDirectory() const;
    bool IsReparsePoint() const;   // junctions and symbolic links

private:
    struct CState;
    std::unique_ptr<CState> m_state;
};
