// A stand-in for the shared manual viewer, for the tests and the demo only; it is no part of
// the uninstaller. It behaves as the uninstaller expects of the viewer:
//   - while it runs it holds the mutex "Global\Brightleaf" (NULL DACL);
//   - "/d NAME" removes the manual NAME's subkey under its manuals key;
//   - "/d all /u blf" is its final clean-up: it removes its manuals key, then that key's
//     parent, each only when empty;
//   - with no "/d" it shows a small window titled "Brightleaf" and stays until it is closed.
// Its manuals key lies under HKEY_LOCAL_MACHINE in the 32-bit registry view:
// SOFTWARE\VORDA\Quilldeck\Brightleaf\Manuals, unless the .ini file of its own name beside it
// (pelbox.ini for pelbox.exe) says otherwise:
//   [Brightleaf]
//   manuals=SOFTWARE\Some\Other\Key
//   log=C:\some\run.log
// Every run appends its command line and a line feed to that log file, by default the .log file
// of its own name beside it (pelbox.log), so tests can see what ran and with which text; a log
// outside the viewer folder outlives the folder's removal.
#include <windows.h>
#include <cstring>
#include <string>

namespace {
const char kDefaultManualsKey[] = "SOFTWARE\\VORDA\\Quilldeck\\Brightleaf\\Manuals";
const char kDeregister[] = " /d ";
const char kFinalArgument[] = "all /u blf";
const char kWindowTitle[] = "Brightleaf";

std::string ModulePathWithout(const char* extension) {
    char path[MAX_PATH * 2] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof(path) - 1);
    std::string result(path, length);
    std::size_t dot = result.rfind('.');
    std::size_t slash = result.rfind('\\');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) result.resize(dot);
    return result + extension;
}

std::string IniValue(const char* key, const std::string& fallback) {
    char value[1024] = {};
    const std::string iniPath = ModulePathWithout(".ini");
    ::GetPrivateProfileStringA("Brightleaf", key, fallback.c_str(), value, sizeof(value),
                               iniPath.c_str());
    return value;
}

void AppendToLog(const char* commandLine) {
    const std::string logPath = IniValue("log", ModulePathWithout(".log"));
    HANDLE file = ::CreateFileA(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string line = std::string(commandLine) + "\n";
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string ManualsKey() { return IniValue("manuals", kDefaultManualsKey); }

HKEY OpenKey(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                        &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

void DeleteChild(const std::string& parentPath, const std::string& name) {
    HKEY parent = OpenKey(parentPath);
    if (parent == nullptr) return;
    ::RegDeleteKeyA(parent, name.c_str());
    ::RegCloseKey(parent);
}

bool IsEmptyKey(const std::string& path) {
    HKEY key = OpenKey(path);
    if (key == nullptr) return false;
    DWORD subKeys = 1, values = 1;
    LONG status = ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                     &values, nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS && subKeys == 0 && values == 0;
}

// Removes path when it is empty; returns its parent path, or "" when it has none.
std::string RemoveIfEmpty(const std::string& path) {
    std::size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return std::string();
    std::string parent = path.substr(0, slash);
    if (IsEmptyKey(path)) DeleteChild(parent, path.substr(slash + 1));
    return parent;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

int ShowWindowUntilClosed(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BrightleafStandIn";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowA("BrightleafStandIn", kWindowTitle, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) return 1;
    ::ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    HANDLE mutex = ::CreateMutexA(&attributes, FALSE, "Global\\Brightleaf");

    const char* commandLine = ::GetCommandLineA();
    AppendToLog(commandLine);

    int exitCode = 0;
    const char* argument = std::strstr(commandLine, kDeregister);
    if (argument == nullptr) {
        exitCode = ShowWindowUntilClosed(instance);
    } else {
        // A moment's work, so that a caller that does not wait for us is caught out.
        ::Sleep(200);
        const std::string name = argument + std::strlen(kDeregister);
        const std::string manualsKey = ManualsKey();
        if (name == kFinalArgument) {
            RemoveIfEmpty(RemoveIfEmpty(manualsKey));
        } else if (!name.empty()) {
            DeleteChild(manualsKey, name);
        }
    }

    if (mutex != nullptr) ::CloseHandle(mutex);
    return exitCode;
}
