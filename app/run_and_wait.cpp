// Starts a program and waits until it has ended.
#include "app/uninstall_app.h"
#include <cstring>
#include "framework/unique_handle.h"

void RunAndWait(const char* applicationName, const char* commandLine) {
    if (commandLine == nullptr) return;
    // The command line goes into a fixed, writable buffer (CreateProcessA may write into it);
    // a longer line is refused rather than cut into a different command.
    const std::size_t length = std::strlen(commandLine);
    if (length > kMaxCommandLine) return;
    char buffer[kMaxCommandLine + 1] = {};
    std::memcpy(buffer, commandLine, length);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    // The program is named explicitly: an unquoted path with blanks would otherwise let the
    // platform try C:\Program.exe and the like first, with our administrator rights.
    if (!::CreateProcessA(applicationName, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return;
    }
    CHandleOwner process(info.hProcess);
    CHandleOwner thread(info.hThread);

    // Waiting on the process itself ends exactly when it ends, whatever exit code it chooses
    // (259 included, which an exit-code poll would take for "still running").
    ::WaitForSingleObject(process.Get(), INFINITE);
}
