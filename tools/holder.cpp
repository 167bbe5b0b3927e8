// Test tool: holds a file open the way another program would, until told to let go.
//   holder.exe PATH READYFILE [share-read]
// Opens PATH for reading (no sharing, or shared for reading), creates READYFILE once it holds
// the file, and closes the file and ends when READYFILE is deleted (or after 120 seconds).
#include <windows.h>
#include <cstring>
#include "framework/unique_handle.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const DWORD share = (argc > 3 && std::strcmp(argv[3], "share-read") == 0) ? FILE_SHARE_READ : 0;
    CFileHandleOwner file(::CreateFileA(argv[1], GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 3;
    {
        CFileHandleOwner ready(::CreateFileA(argv[2], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!ready) return 4;
    }
    for (int waited = 0; waited < 120000; waited += 50) {
        if (::GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES) break;
        ::Sleep(50);
    }
    return 0;
}
