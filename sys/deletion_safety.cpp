// The protected folders of this system and the safety test over them.
#include "sys/deletion_safety.h"
#include <windows.h>
#include <shlobj.h>
#include "framework/unique_handle.h"

namespace {

// Appends folder (without a trailing backslash) and, when it differs, its 8.3 form.
void AddFolder(CStringList& folders, std::string folder) {
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    if (folder.empty()) return;
    folders.push_back(folder);
    char shortForm[MAX_PATH] = {};
    const DWORD length = ::GetShortPathNameA(folder.c_str(), shortForm, MAX_PATH);
    if (length > 0 && length < MAX_PATH && folder != shortForm) folders.push_back(shortForm);
}

void AddSpecialFolder(CStringList& folders, int csidl) {
    char path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        AddFolder(folders, path);
}

void AddEnvironmentFolder(CStringList& folders, const char* name) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) AddFolder(folders, path);
}

// The folder above path, or empty when there is none.
std::string ParentFolder(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return (slash == std::string::npos || slash < 3) ? std::string() : path.substr(0, slash);
}

// The profile folders as the system records them (%SystemDrive%\Users and the like).
void AddProfileListFolders(CStringList& folders) {
    CRegKeyOwner key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                        KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return;
    for (const char* name : {"ProfilesDirectory", "Public", "Default", "AllUsersProfile"}) {
        char value[MAX_PATH] = {};
        DWORD size = sizeof(value) - 1;
        DWORD type = 0;
        if (::RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value),
                               &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        char expanded[MAX_PATH] = {};
        const DWORD length = ::ExpandEnvironmentStringsA(value, expanded, MAX_PATH);
        if (length > 0 && length <= MAX_PATH) AddFolder(folders, expanded);
    }
}

CStringList LookUpProtectedFolders() {
    CStringList folders;
    char path[MAX_PATH] = {};
    UINT length = ::GetWindowsDirectoryA(path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        AddFolder(folders, path);
        // A 32-bit program reaches the real system folder through this name.
        AddFolder(folders, std::string(path) + "\\Sysnative");
    }
    length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) AddFolder(folders, path);
    length = ::GetSystemWow64DirectoryA(path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) AddFolder(folders, path);

    for (int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_SYSTEMX86, CSIDL_PROGRAM_FILES,
                      CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
                      CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_COMMON_APPDATA, CSIDL_PROFILE,
                      CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU,
                      CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS,
                      CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS,
                      CSIDL_FONTS})
        AddSpecialFolder(folders, csidl);

    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432",
                             "CommonProgramFiles", "CommonProgramFiles(x86)", "CommonProgramW6432",
                             "ProgramData", "ALLUSERSPROFILE", "PUBLIC", "SystemRoot", "windir",
                             "USERPROFILE"})
        AddEnvironmentFolder(folders, name);

    // The folder that holds every profile.
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, path)))
        AddFolder(folders, ParentFolder(path));
    AddProfileListFolders(folders);

    // The temporary folder itself; what lies in it (the staged copies) may go.
    length = ::GetTempPathA(MAX_PATH, path);
    if (length > 0 && length < MAX_PATH) AddFolder(folders, path);
    return folders;
}

}  // namespace

const CStringList& GetProtectedFolders() {
    static const CStringList s_folders = LookUpProtectedFolders();
    return s_folders;
}

bool IsSafeToDelete(const std::string& path) {
    const CStringList& folders = GetProtectedFolders();
    if (JudgeDeletionPath(path, folders) != DeletionVerdict::Allowed) return false;
    // A name may reach a protected folder in another spelling (an 8.3 name for one part, the
    // long name for another); where the path exists, its long and short forms must pass too.
    char other[MAX_PATH] = {};
    DWORD length = ::GetLongPathNameA(path.c_str(), other, MAX_PATH);
    if (length >= MAX_PATH ||
        (length > 0 && JudgeDeletionPath(other, folders) != DeletionVerdict::Allowed))
        return false;
    length = ::GetShortPathNameA(path.c_str(), other, MAX_PATH);
    if (length >= MAX_PATH ||
        (length > 0 && JudgeDeletionPath(other, folders) != DeletionVerdict::Allowed))
        return false;
    return true;
}
