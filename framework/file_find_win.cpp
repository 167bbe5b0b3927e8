// Directory search over FindFirstFileA/FindNextFileA.
#include "framework/file_find.h"
#include <windows.h>

struct CFileFind::CState { std::string name; };
CFileFind::CFileFind() = default;
CFileFind::~CFileFind() = default;
bool CFileFind::FindFile(const std::string&) { return false; }
bool CFileFind::FindNextFile() { return false; }
void CFileFind::Close() { m_state.reset(); }
const std::string& CFileFind::GetFileName() const { static const std::string empty; return empty; }
std::string CFileFind::GetFilePath() const { return std::string(); }
bool CFileFind::IsDirectory() const { return false; }
bool CFileFind::IsReparsePoint() const { return false; }
