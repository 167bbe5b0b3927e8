// The hand-off phase: after the user's OK, stage the program and the plan in the temp folder
// and start the staged copy through the command interpreter, so that the removal phase runs
// from outside the install folder it deletes.
#include <cstdlib>
#include <cstring>
#include <vector>
#include "app/uninstall_app.h"
#include "framework/code_page.h"
#include "framework/unique_handle.h"
#include "sys/file_ops.h"
#include "sys/string_utils.h"
#include "sys/trace_log.h"

namespace {
const char kPlanFileName[] = "uninstall.tmp";
const char kProgramFileName[] = "uninstall.exe";

// Trace texts in Shift-JIS: "copy the uninstaller here: " and "run the uninstaller".
const char kTraceCopyHere[] =
    "\x83\x41\x83\x93\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b\x83\x89\x82\xf0"
    "\x82\xb1\x82\xb1\x82\xd6" "COPY\x81\x46";
const char kTraceRun[] =
    "\x83\x41\x83\x93\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b\x83\x89\x82\xf0\x8e\xc0\x8d\x73";

// Replaces an earlier run's staged file with nothing; the copy that follows puts the new one.
void DeleteStaleFile(const char* folder, const char* name) {
    std::string path;
    CUninstallApp::JoinPath(folder, name, path);
    if (FileExists(path)) ShellDelete(path);   // a failure shows in the copy, which overwrites
}
}  // namespace

void CUninstallApp::HandOff() {
    // Only an explicit OK goes on. Cancel, a closed box, and a box that could not be shown at
    // all (0, or -1 without a display) leave everything as it was.
    if (AfxMessageBox(m_pPlan->GetConfirmText().c_str(), MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        return;
    }

    SetTraceEnabled(0);

    // Without a usable temp folder the joined paths would point at the root of the current
    // drive; stopping here leaves everything as a cancel would.
    char tempFolder[MAX_PATH] = {};
    DWORD length = ::GetTempPathA(MAX_PATH, tempFolder);
    if (length == 0 || length >= MAX_PATH) return;

    std::string appDirectory = GetAppDirectory();

    CTraceLog& trace = GetTraceLog();
    trace.Trace(kTraceCopyHere);
    trace.Trace(tempFolder);
    trace.Trace("\n");

    DeleteStaleFile(tempFolder, kPlanFileName);
    DeleteStaleFile(tempFolder, kProgramFileName);
    // The results do not matter here: a failed copy shows as a removal phase that does not start.
    CopyIntoDirectory(appDirectory, tempFolder, kPlanFileName);
    CopyIntoDirectory(appDirectory, tempFolder, kProgramFileName);

    std::string programCommand = std::string("\"") + tempFolder + kProgramFileName + "\" " +
                                 kRemovalWord;
    std::string shellCommand;
    BuildShellCommand("", programCommand.c_str(), shellCommand);
    LaunchHidden(shellCommand.c_str());

    trace.Trace(kTraceRun);
    trace.Trace(shellCommand.c_str());
    trace.Trace("\n");

    std::exit(0);
}

void CUninstallApp::JoinPath(const char* folder, const char* name, std::string& result) {
    std::string path = folder ? folder : "";
    // A trail byte 0x5C of a double-byte character at the end is no separator.
    if (path.empty() || FindLastBackslash(path) != path.size() - 1) path += '\\';
    path += name ? name : "";
    result = path;
}

void CUninstallApp::BuildShellCommand(const char* first, const char* second, std::string& result) {
    std::string interpreter;
    DWORD size = ::GetEnvironmentVariableA("COMSPEC", nullptr, 0);
    if (size > 0) {
        std::vector<char> value(size + 1, '\0');
        ::GetEnvironmentVariableA("COMSPEC", value.data(), size);
        interpreter = value.data();   // up to the first zero byte
    }
    result = interpreter + " /c " + (first ? first : "") + " " + (second ? second : "");
}

void CUninstallApp::LaunchHidden(const char* commandLine) {
    if (!commandLine) return;
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return;   // the caller ends the process either way
    }
    CHandleOwner processHandle(process.hProcess);
    CHandleOwner threadHandle(process.hThread);
    ::WaitForInputIdle(processHandle.Get(), INFINITE);
}
