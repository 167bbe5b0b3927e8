// Directory search over FindFirstFileA/FindNextFileA.
#include "framework/file_find.h"
#include <windows.h>
#include "framework/code_page.h"
#include "framework/unique_handle.h"

struct CFileFind::CState {
    CFindHandleOwner handle;
    WIN32_FIND_DATAA data{};
    std::string name;
    std::string folder;   // the search folder made absolute, without a trailing backslash
    bool hasCurrent = false;
};

CFileFind::CFileFind() = default;
CFileFind::~CFileFind() = default;

namespace {
// The folder part of a pattern (text before its last separating backslash), made absolute.
std::string AbsoluteFolderOf(const std::string& pattern) {
    const std::size_t slash = FindLastBackslash(pattern);
    std::string folder = slash == std::string::npos ? std::string(".") : pattern.substr(0, slash);
    // "\name" searches the root of the current drive; "C:name" the current folder of drive C,
    // while "C:\name" searches its root.
    if (folder.empty() || (slash != std::string::npos && folder.size() == 2 && folder[1] == ':'))
        folder += "\\";
    std::string result = folder;
    const DWORD needed = ::GetFullPathNameA(folder.c_str(), 0, nullptr, nullptr);
    if (needed > 0) {
        std::string full(needed, '\0');
        const DWORD length = ::GetFullPathNameA(folder.c_str(), needed, &full[0], nullptr);
        if (length > 0 && length < needed) result.assign(full, 0, length);
    }
    if (!result.empty() && FindLastBackslash(result) == result.size() - 1) result.pop_back();
    return result;
}
}  // namespace

bool CFileFind::FindFile(const std::string& pattern) {
    Close();
    auto state = std::make_unique<CState>();
    state->handle.Reset(::FindFirstFileA(pattern.c_str(), &state->data));
    if (!state->handle) return false;
    state->name = state->data.cFileName;
    state->folder = AbsoluteFolderOf(pattern);
    state->hasCurrent = true;
    m_state = std::move(state);
    return true;
}

bool CFileFind::FindNextFile() {
    if (!m_state || !m_state->hasCurrent) return false;
    if (!::FindNextFileA(m_state->handle.Get(), &m_state->data)) {
        m_state->hasCurrent = false;
        m_state->name.clear();
        return false;
    }
    m_state->name = m_state->data.cFileName;
    return true;
}

void CFileFind::Close() { m_state.reset(); }

const std::string& CFileFind::GetFileName() const {
    static const std::string empty;
    return (m_state && m_state->hasCurrent) ? m_state->name : empty;
}

std::string CFileFind::GetFilePath() const {
    if (!m_state || !m_state->hasCurrent) return std::string();
    return m_state->folder + "\\" + m_state->name;
}

bool CFileFind::IsDirectory() const {
    return m_state && m_state->hasCurrent &&
           (m_state->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CFileFind::IsReparsePoint() const {
    return m_state && m_state->hasCurrent &&
           (m_state->data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}
