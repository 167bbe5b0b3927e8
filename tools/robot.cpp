// Test tool: finds the program's windows and drives them as a user would, and lists processes.
//   robot list                          visible top-level windows: handle, class, title
//   robot text TITLE                    the texts of the window's static controls, one a line
//   robot wait-window TITLE TIMEOUT_MS  waits for the window, then prints its texts
//   robot wait-gone TITLE TIMEOUT_MS    waits until no window has that title
//   robot count TITLE                   how many visible windows have that title
//   robot press TITLE BUTTON_ID         clicks the button (1 OK, 2 Cancel, 6 Yes, 7 No ...)
//   robot processes                     running processes: id, program path, command line
//   robot startup-info FILE             writes how this process was asked to show its window
// Windows are matched by their exact title, visible ones only. Exit code 0 on success, 1 when
// the window was not found in time, 2 for a usage error.
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string WindowText(HWND window) {
    int length = ::GetWindowTextLengthA(window);
    std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
    ::GetWindowTextA(window, text.data(), length + 1);
    return text.data();
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

// Window enumeration callbacks must be stdcall in the 32-bit build, which a lambda is not.
BOOL CALLBACK CollectVisible(HWND window, LPARAM list) {
    if (::IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectAll(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> WindowsTitled(const char* title) {
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows()) {
        if (WindowText(window) == title) found.push_back(window);
    }
    return found;
}

HWND WaitForWindow(const char* title, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        std::vector<HWND> found = WindowsTitled(title);
        if (!found.empty()) return found.front();
        if (::GetTickCount() - start >= timeoutMs) return nullptr;
        ::Sleep(50);
    }
}

// The texts of the window's static controls; a message box keeps its text in control 0xFFFF.
void PrintTexts(HWND window) {
    std::vector<HWND> children;
    ::EnumChildWindows(window, CollectAll, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (_stricmp(ClassOf(child).c_str(), "Static") != 0) continue;
        std::string text = WindowText(child);
        if (!text.empty()) std::printf("%s\n", text.c_str());
    }
}

int Press(HWND window, int buttonId) {
    HWND button = ::GetDlgItem(window, buttonId);
    if (button) {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    } else {
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    }
    return 0;
}

// The command line of another process, read from its process parameters.
std::string CommandLineOf(HANDLE process) {
    using QueryFn = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    static QueryFn query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) return std::string();
    PROCESS_BASIC_INFORMATION basic = {};
    if (query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0) return {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    if (!::ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof(peb), nullptr)) return {};
    if (!::ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof(parameters),
                             nullptr)) {
        return {};
    }
    std::vector<wchar_t> wide(parameters.CommandLine.Length / sizeof(wchar_t) + 1, L'\0');
    if (!::ReadProcessMemory(process, parameters.CommandLine.Buffer, wide.data(),
                             parameters.CommandLine.Length, nullptr)) {
        return {};
    }
    int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::vector<char> text(size, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), size, nullptr, nullptr);
    return text.data();
}

int ListProcesses() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 1;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
        std::string image = entry.szExeFile;
        std::string commandLine;
        HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                       entry.th32ProcessID);
        if (process) {
            char path[MAX_PATH * 2] = {};
            DWORD length = sizeof(path);
            if (::QueryFullProcessImageNameA(process, 0, path, &length)) image = path;
            commandLine = CommandLineOf(process);
            ::CloseHandle(process);
        }
        std::printf("%lu\t%s\t%s\n", static_cast<unsigned long>(entry.th32ProcessID),
                    image.c_str(), commandLine.c_str());
    }
    ::CloseHandle(snapshot);
    return 0;
}

int WriteStartupInfo(const char* file) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    ::GetStartupInfoA(&startup);
    FILE* out = std::fopen(file, "w");
    if (!out) return 1;
    std::fprintf(out, "flags=%lu show=%u\n", static_cast<unsigned long>(startup.dwFlags),
                 static_cast<unsigned>(startup.wShowWindow));
    std::fclose(out);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: robot list | text TITLE | wait-window TITLE MS | wait-gone TITLE MS |\n"
                 "       count TITLE | press TITLE ID | processes | startup-info FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) return Usage();
    std::string command = argv[1];
    if (command == "list" && argc == 2) {
        for (HWND window : TopLevelWindows()) {
            std::printf("%p\t%s\t%s\n", static_cast<void*>(window), ClassOf(window).c_str(),
                        WindowText(window).c_str());
        }
        return 0;
    }
    if (command == "processes" && argc == 2) return ListProcesses();
    if (command == "startup-info" && argc == 3) return WriteStartupInfo(argv[2]);
    if (command == "count" && argc == 3) {
        std::printf("%u\n", static_cast<unsigned>(WindowsTitled(argv[2]).size()));
        return 0;
    }
    if (command == "text" && argc == 3) {
        HWND window = WaitForWindow(argv[2], 0);
        if (!window) return 1;
        PrintTexts(window);
        return 0;
    }
    if (command == "wait-window" && argc == 4) {
        HWND window = WaitForWindow(argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
        if (!window) return 1;
        PrintTexts(window);
        return 0;
    }
    if (command == "wait-gone" && argc == 4) {
        DWORD timeout = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
        DWORD start = ::GetTickCount();
        while (!WindowsTitled(argv[2]).empty()) {
            if (::GetTickCount() - start >= timeout) return 1;
            ::Sleep(50);
        }
        return 0;
    }
    if (command == "press" && argc == 4) {
        HWND window = WaitForWindow(argv[2], 0);
        if (!window) return 1;
        return Press(window, std::atoi(argv[3]));
    }
    return Usage();
}
