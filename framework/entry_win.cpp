// The process entry: restricts DLL loading, then runs the application object's InitInstance
// once. There is no main window and no message loop, and the exit code is always 0.
#include <windows.h>
#include "framework/app_base.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {
// The program runs elevated from the temp folder, where anyone may have left a DLL: from here
// on, DLLs loaded on demand come from the system folder only. Looked up by name, because older
// systems lack the call.
void LoadDllsFromSystemOnly() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    auto setDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadDllsFromSystemOnly();
    CWinAppBase* app = AfxGetApp();
    if (app) {
        app->InitFromProcess();
        app->InitInstance();   // always FALSE: the process ends here either way
    }
    return 0;
}
