// The walk that finds folder links (junctions, symbolic links, and the Unix links that Wine may
// show as plain folders) in a tree before the shell deletes it recursively.
#include "sys/deletion_safety.h"
#include <windows.h>
#include <vector>
#include "framework/unique_handle.h"

namespace {

// The walk works on UTF-16 names so that no name on disk is lost to the ANSI code page.
std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                          static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// The ANSI form, or empty when some character has none.
std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    BOOL lossy = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &narrow[0],
                          length, nullptr, &lossy);
    return lossy ? std::string() : narrow;
}

// The \\?\ form, so that folders deeper than MAX_PATH below a long root are reached too.
std::wstring ExtendedForm(const std::wstring& path) {
    if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return !a.empty() && a.size() == b.size() &&
           ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Where the folder really lies, after every link on the way: its final path in DOS form,
// without the \\?\ in front and without a trailing backslash ("C:" for a drive root). Empty when
// it cannot be opened.
std::wstring FinalPathOf(const std::wstring& path) {
    CFileHandleOwner folder(::CreateFileW(ExtendedForm(path).c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    if (!folder) return std::wstring();
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = ::GetFinalPathNameByHandleW(folder.Get(), &final[0],
                                               static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
    if (length >= final.size()) {   // too small: length is the size needed
        final.assign(length + 1, L'\0');
        length = ::GetFinalPathNameByHandleW(folder.Get(), &final[0],
                                             static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
        if (length >= final.size()) return std::wstring();
    }
    final.resize(length);
    if (final.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        final.erase(2, 6);
    } else if (final.compare(0, 4, L"\\\\?\\") == 0) {
        final.erase(0, 4);
    }
    while (!final.empty() && final.back() == L'\\') final.pop_back();
    return final;
}

// The folder above path ("C:\" for "C:\x", "\\server\share" for "\\server\share\x"), or empty.
std::wstring ParentOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0) return std::wstring();
    std::wstring parent = path.substr(0, slash);
    if (parent.size() == 2 && parent[1] == L':') parent += L'\\';
    return parent;
}

struct CPendingFolder {
    std::wstring path;    // as the shell will reach it
    std::wstring final;   // where it must really lie
};

// Every folder below root must lie where the walk reached it: at rootFinal plus the names
// walked. One open per folder, none per file.
bool AreFoldersBelowInPlace(const std::wstring& root, const std::wstring& rootFinal) {
    std::vector<CPendingFolder> pending{{root, rootFinal}};
    while (!pending.empty()) {
        const CPendingFolder folder = std::move(pending.back());
        pending.pop_back();
        WIN32_FIND_DATAW entry;
        CFindHandleOwner find(::FindFirstFileW(ExtendedForm(folder.path + L"\\*").c_str(), &entry));
        if (!find) return false;   // what cannot be read might hold a link
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
            CPendingFolder child{folder.path + L"\\" + name, folder.final + L"\\" + name};
            if (!SamePath(FinalPathOf(child.path), child.final)) return false;
            pending.push_back(std::move(child));
        } while (::FindNextFileW(find.Get(), &entry));
        if (::GetLastError() != ERROR_NO_MORE_FILES) return false;
    }
    return true;
}

}  // namespace

bool IsTreeFreeOfLinks(const std::string& path) {
    std::wstring root = Widen(path);
    while (root.size() > 3 && root.back() == L'\\') root.pop_back();
    if (root.empty() || root.find_first_of(L"*?\0", 0, 3) != std::wstring::npos) return false;
    WIN32_FIND_DATAW self;
    {
        CFindHandleOwner find(::FindFirstFileW(ExtendedForm(root).c_str(), &self));
        if (!find) return false;
    }
    // On Windows, deleting a file that is a link removes the link only. (Wine 8 deletes the file
    // it leads to instead; files are still not opened one by one, to keep big trees cheap.)
    if (!(self.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    if (self.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;

    // The named folder itself is a link when it does not lie, under its own (long) name, in the
    // place where its parent really lies. Links further up are allowed (the profile's Desktop
    // under Wine is one), but then the real location must pass the safety test as well.
    const std::wstring parent = ParentOf(root);
    const std::wstring rootFinal = FinalPathOf(root);
    if (parent.empty() || rootFinal.empty()) return false;
    const std::wstring parentFinal = FinalPathOf(parent);
    if (parentFinal.empty() || !SamePath(rootFinal, parentFinal + L"\\" + self.cFileName))
        return false;
    const std::string real = Narrow(rootFinal);
    if (real.empty() || !IsSafeToDelete(real)) return false;
    return AreFoldersBelowInPlace(root, rootFinal);
}
