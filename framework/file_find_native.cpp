// Directory search of the native build: the folder's entries filtered with the Windows-style
// wildcards * and ?, without regard to case. Backslashes in patterns stand for '/'.
#include "framework/file_find.h"
#include "framework/native_path.h"
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <vector>

namespace {
struct CEntry {
    std::string name;
    bool directory = false;
    bool reparse = false;
};

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Wildcard match without regard to ASCII case; iterative, so long names cost no recursion.
bool MatchWildcard(const std::string& pattern, const std::string& name) {
    std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}
}  // namespace

struct CFileFind::CState {
    std::string folder;   // absolute, with backslashes, without a trailing one
    std::vector<CEntry> entries;
    std::size_t current = 0;
};

CFileFind::CFileFind() = default;
CFileFind::~CFileFind() = default;

bool CFileFind::FindFile(const std::string& pattern) {
    Close();
    const std::string path = ToNativePath(pattern);
    const std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string namePattern = slash == std::string::npos ? path : path.substr(slash + 1);
    if (folder.empty()) folder = "/";
    if (namePattern == "*.*") namePattern = "*";   // as on Windows: also names without a dot
    if (namePattern.empty()) return false;

    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return false;
    auto state = std::make_unique<CState>();
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (!MatchWildcard(namePattern, name)) continue;
        CEntry entry;
        entry.name = name;
        const std::string full = folder == "/" ? "/" + name : folder + "/" + name;
        // The entry's type usually comes with it; a large folder then costs no lstat per file.
        if (item->d_type == DT_REG) {
            state->entries.push_back(std::move(entry));
            continue;
        }
        if (item->d_type == DT_DIR) {
            entry.directory = true;
            state->entries.push_back(std::move(entry));
            continue;
        }
        struct stat info {};
        if (::lstat(full.c_str(), &info) == 0) {
            entry.reparse = S_ISLNK(info.st_mode);
            // A link to a folder carries the folder bit, as a directory link does on Windows.
            struct stat target {};
            entry.directory = entry.reparse ? (::stat(full.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
                                            : S_ISDIR(info.st_mode);
        }
        state->entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    if (state->entries.empty()) return false;

    if (folder[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd)) folder = folder == "." ? std::string(cwd) : std::string(cwd) + "/" + folder;
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder == "/") folder.clear();
    std::replace(folder.begin(), folder.end(), '/', '\\');   // '/' is never a trail byte
    state->folder = folder;
    m_state = std::move(state);
    return true;
}

bool CFileFind::FindNextFile() {
    if (!m_state || m_state->current >= m_state->entries.size()) return false;
    ++m_state->current;
    return m_state->current < m_state->entries.size();
}

void CFileFind::Close() { m_state.reset(); }

const std::string& CFileFind::GetFileName() const {
    static const std::string empty;
    if (!m_state || m_state->current >= m_state->entries.size()) return empty;
    return m_state->entries[m_state->current].name;
}

std::string CFileFind::GetFilePath() const {
    if (!m_state || m_state->current >= m_state->entries.size()) return std::string();
    return m_state->folder + "\\" + m_state->entries[m_state->current].name;
}

bool CFileFind::IsDirectory() const {
    return m_state && m_state->current < m_state->entries.size() &&
           m_state->entries[m_state->current].directory;
}

bool CFileFind::IsReparsePoint() const {
    return m_state && m_state->current < m_state->entries.size() &&
           m_state->entries[m_state->current].reparse;
}
