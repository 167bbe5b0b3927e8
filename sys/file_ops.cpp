// Folder chains, copies into a folder and silent recursive deletion.
#include "sys/file_ops.h"
#include <windows.h>
#include <shellapi.h>
#include <cstring>
#include "framework/unique_handle.h"
#include "sys/deletion_safety.h"
#include "sys/string_utils.h"

namespace {

// True when a file or folder of exactly this path exists.
bool PathExists(const std::string& path) {
    WIN32_FIND_DATAA data;
    CFindHandleOwner find(::FindFirstFileA(path.c_str(), &data));
    return find.IsValid();
}

}  // namespace

int EnsureDirectories(const char* path) {
    if (path == nullptr || *path == '\0') return 0;
    CStringList components;
    SplitTokens(path, components, "\\");
    if (components.empty()) return 0;
    // The first component (a drive such as C:) is never tested or created.
    std::string prefix = components[0];
    for (std::size_t i = 1; i < components.size(); ++i) {
        prefix += '\\';
        prefix += components[i];
        // A failed creation does not stop the chain: the caller learns of it from what follows.
        if (!PathExists(prefix)) ::CreateDirectoryA(prefix.c_str(), nullptr);
    }
    return 1;
}

int CopyIntoDirectory(const std::string& sourceFolder, const std::string& targetFolder,
                      const std::string& name) {
    const std::string source = sourceFolder + "\\" + name;
    const std::string target = targetFolder + "\\" + name;
    EnsureDirectories(targetFolder.c_str());
    // An earlier copy may be read-only, hidden or system; CopyFile refuses to overwrite those.
    if (PathExists(target)) ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::CopyFileA(source.c_str(), target.c_str(), FALSE);
}

int ShellDelete(const std::string& path) {
    // Every recursive deletion passes here, so this is where a path the plan made up is stopped:
    // nothing that is not plainly a file or folder of its own reaches the shell.
    if (!IsSafeToDelete(path) || path.size() > kMaxDeletionPath) return 0;
    // The shell's deletion goes through folder links and would empty the folders they lead to;
    // a tree that holds one is left whole instead.
    if (!IsTreeFreeOfLinks(path)) return 0;
    // The shell reads a list of names ended by two NULs; the zero fill supplies both.
    char names[MAX_PATH] = {};
    std::memcpy(names, path.data(), path.size());

    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = names;
    operation.pTo = nullptr;
    // No undo: the deletion is final. No progress, confirmation or error window.
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    operation.fAnyOperationsAborted = FALSE;
    operation.hNameMappings = nullptr;
    operation.lpszProgressTitle = nullptr;
    if (::SHFileOperationA(&operation) != 0) return 0;
    return operation.fAnyOperationsAborted == TRUE ? 0 : 1;
}
