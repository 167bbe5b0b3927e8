// The removal phase: the progress window, the scan for help files held open by another
// program, then the deletions (the installer's files, the listed paths last first, the desktop
// shortcuts), the plan's registry entries and the shared viewer.
#include <windows.h>
#include <cstdlib>
#include <string>
#include "app/progress_dlg.h"
#include "app/uninstall_app.h"
#include "framework/app_base.h"
#include "framework/code_page.h"
#include "framework/file_find.h"
#include "sys/deletion_safety.h"
#include "sys/file_ops.h"
#include "sys/in_use_probe.h"
#include "sys/trace_log.h"

namespace {

// Trace texts, in Shift-JIS.
constexpr const char kTraceExists[] = " :\x81\x9b\n";                         // " :○"
constexpr const char kTraceDelete[] = "\x8d\xed\x8f\x9c\x81\x46";             // "削除："
constexpr const char kTraceColon[] = "\x81\x46";                              // "："
constexpr const char kTraceSuccess[] = "\x90\xac\x8c\xf7\n";                  // "成功"
constexpr const char kTraceFailure[] = "\x8e\xb8\x94\x73\n";                  // "失敗"
constexpr const char kTraceInstallerSuccess[] = "\x81\x9a\x8d\xed\x8f\x9c\x90\xac\x8c\xf7\n";
constexpr const char kTraceInstallerFailure[] = "\x81\x9a\x8d\xed\x8f\x9c\x8e\xb8\x94\x73\n";

// The installer's own files in the install folder, in deletion order, and how each goes.
struct CInstallerFile {
    const char* name;
    bool plainDelete;      // DeleteFileA rather than the shell
    const char* trace;     // "\n★<name>を削除\n"
};
constexpr CInstallerFile kInstallerFiles[] = {
    {"uninstall.exe", true, "\n\x81\x9auninstall.exe\x82\xf0\x8d\xed\x8f\x9c\n"},
    {"uninstall.tmp", false, "\n\x81\x9auninstall.tmp\x82\xf0\x8d\xed\x8f\x9c\n"},
    {"Lanternv4.ico", false, "\n\x81\x9aLanternv4.ico\x82\xf0\x8d\xed\x8f\x9c\n"},
};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A folder the installer's files may be looked for in: a drive path (X:\...) or a share
// (\\server\...). An empty or relative folder would name files at the root of the current
// drive or in the current folder, which the plan never meant.
bool IsFullyQualifiedFolder(const std::string& folder) {
    if (folder.size() >= 3 && IsAsciiLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\')
        return true;
    return folder.size() >= 3 && folder[0] == '\\' && folder[1] == '\\' && folder[2] != '\\';
}

// A help file is any file whose path ends in the letters chm, dot or no dot.
bool EndsInChm(const std::string& path) {
    if (path.size() < 3) return false;
    const char* tail = path.c_str() + path.size() - 3;
    return (tail[0] | 0x20) == 'c' && (tail[1] | 0x20) == 'h' && (tail[2] | 0x20) == 'm';
}

bool EndsInByte5C(const std::string& entry) {
    return !entry.empty() && static_cast<unsigned char>(entry.back()) == 0x5C;
}

}  // namespace

void CUninstallApp::RunRemovalPhase() {
    CProgressDlg progress;
    // Without a window the uninstall runs all the same; the user only sees less.
    progress.Create();
    progress.m_staticMessage.SetWindowText(m_pPlan->GetProgressText().c_str());
    progress.ShowWindow(SW_SHOW);
    progress.UpdateWindow();

    SetTraceEnabled(0);
    CTraceLog& trace = GetTraceLog();
    const CStringList& removalList = m_pPlan->GetRemovalList();

    // Everything is scanned before anything is deleted: a help file held open stops the
    // uninstall while the manual is still whole.
    std::string installFolder;
    CFileFind finder;
    for (size_t i = 0; i < removalList.size(); ++i) {
        const std::string& entry = removalList[i];
        if (i == 1) installFolder = entry;
        bool exists = finder.FindFile(entry);
        finder.Close();
        trace.Trace(entry.c_str());
        if (!exists) continue;
        trace.Trace(kTraceExists);
        DWORD attributes = ::GetFileAttributesA(entry.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            trace.Trace("Directory");
            trace.Trace("\n");
            ScanHelpFiles(entry);
        }
    }

    if (IsFullyQualifiedFolder(installFolder)) RemoveInstallerFiles(installFolder);

    for (size_t i = removalList.size(); i-- > 0;) {
        const std::string& entry = removalList[i];
        // An entry ending in a backslash names no file of its own (or ends inside a
        // double-byte character); deleting it could mean its whole parent.
        if (entry.empty() || EndsInByte5C(entry)) continue;
        trace.Trace(kTraceDelete);
        trace.Trace(entry.c_str());
        trace.Trace(kTraceColon);
        trace.Trace(ShellDelete(entry) == 1 ? kTraceSuccess : kTraceFailure);
    }

    trace.RefreshFolders();
    const std::string& desktop = trace.GetDesktopPath();
    for (int i = 0; i < m_pPlan->GetShortcutCount(); ++i) {
        const std::string& name = m_pPlan->GetShortcut(i).GetShortcutName();
        if (name.empty()) continue;
        // A shortcut that is not there is nothing to report.
        ShellDelete(desktop + "\\" + name + ".lnk");
    }

    CleanPlanRegistry();
    RetireViewer();
    progress.DestroyWindow();
}

void CUninstallApp::ScanHelpFiles(const std::string& folder) {
    CFileFind finder;
    if (!finder.FindFile(folder + "\\*")) return;
    CTraceLog& trace = GetTraceLog();
    do {
        const std::string& name = finder.GetFileName();
        if (EqualNoCase(name, ".") || EqualNoCase(name, "..")) continue;
        if (finder.IsDirectory()) {
            // A junction or link leads out of the listed folder (or round in a circle); what
            // lies behind it is not the manual's.
            if (!finder.IsReparsePoint()) ScanHelpFiles(finder.GetFilePath());
            continue;
        }
        std::string path = finder.GetFilePath();
        if (!EndsInChm(path)) continue;
        trace.Trace(path.c_str());
        trace.Trace("\n");
        if (IsFileInUse(path)) {
            AfxMessageBox(m_pPlan->GetWarningText().c_str(), MB_ICONWARNING);
            exit(0);
        }
    } while (finder.FindNextFile());
}

void CUninstallApp::RemoveInstallerFiles(const std::string& installFolder) {
    CTraceLog& trace = GetTraceLog();
    for (const CInstallerFile& file : kInstallerFiles) {
        // The backslash goes in even after a folder that ends in one, as the paths were
        // always built; Win32 reads the doubled separator as one.
        std::string path = installFolder + "\\" + file.name;
        trace.Trace(path.c_str());
        trace.Trace(file.trace);
        int deleted = 0;
        if (file.plainDelete)
            deleted = IsSafeToDelete(path) && ::DeleteFileA(path.c_str()) ? 1 : 0;
        else
            deleted = ShellDelete(path);
        trace.Trace(deleted ? kTraceInstallerSuccess : kTraceInstallerFailure);
    }
}
