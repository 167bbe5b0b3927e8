// Tells the shared viewer to forget this manual and, when no manual is registered with it any
// more, runs its final command and removes its files, its folder and its registry keys.
#include "app/uninstall_app.h"
#include <cstdio>
#include "sys/deletion_safety.h"
#include "sys/file_ops.h"
#include "sys/registry_key.h"
#include "sys/trace_log.h"

namespace {
// Trace texts, Shift-JIS.
const char kTraceCommand[] = "\n\x83\x52\x83\x7d\x83\x93\x83\x68:";                  // "\nコマンド:"
const char kTraceRegistrySearch[] =
    "\n\x83\x8c\x83\x57\x83\x58\x83\x67\x83\x8a\x8c\x9f\x8d\xf5:";                     // "\nレジストリ検索:"
const char kTraceRegistryCount[] =
    "\x83\x8c\x83\x57\x83\x58\x83\x67\x83\x8a\x8c\xc2\x90\x94\x81\x81";                // "レジストリ個数＝"

const char kViewerProgram[] = "pelbox.exe";
const char kDeregisterArgument[] = " /d ";
const char kFinalArgument[] = " /d all /u blf";
const char kViewerKey[] = "SOFTWARE\\VORDA\\Quilldeck\\Vorda Utilities\\Brightleaf";
const char kUtilitiesKey[] = "SOFTWARE\\VORDA\\Quilldeck\\Vorda Utilities";
const char kProductKey[] = "SOFTWARE\\VORDA\\Quilldeck";
const char kVendorKey[] = "SOFTWARE\\VORDA";

void Trace(const char* text) { GetTraceLog().Trace(text); }
void Trace(const std::string& text) { GetTraceLog().Trace(text.c_str()); }

void TraceAndDelete(const char* label, const std::string& path) {
    Trace(label);
    Trace(path);
    ShellDelete(path);
}

// Each level of the chain gets a key of its own, opened and closed around one step.
void DeleteSubkeyIfEmpty(const char* parentPath, const char* name) {
    CRegistryKey parent(HKEY_LOCAL_MACHINE, parentPath, KEY_ALL_ACCESS);
    parent.Open();
    parent.DeleteSubkeyIfEmpty(name);
    parent.Close();
}

void RemoveViewerKeys() {
    {
        CRegistryKey viewer(HKEY_LOCAL_MACHINE, kViewerKey, KEY_ALL_ACCESS);
        viewer.Open();
        viewer.DeleteValue("AppName");
        viewer.DeleteValue("AppPath");
        viewer.Close();
    }
    // Bottom up; each step only takes a key that nothing else uses any more.
    DeleteSubkeyIfEmpty(kUtilitiesKey, "Brightleaf");
    DeleteSubkeyIfEmpty(kProductKey, "Vorda Utilities");
    DeleteSubkeyIfEmpty(kVendorKey, "Quilldeck");
}
}  // namespace

void CUninstallApp::RetireViewer() {
    if (m_pPlan == nullptr) return;
    const std::string& folder = m_pPlan->GetViewerFolder();
    const std::string program = folder + "\\" + kViewerProgram;

    const std::string deregister = program + kDeregisterArgument + m_pPlan->GetViewerInfo();
    Trace(kTraceCommand);
    Trace(deregister);
    RunAndWait(program.c_str(), deregister.c_str());

    // Read only now: the count must reflect what the viewer did with the deregistration.
    const std::string& regKey = m_pPlan->GetViewerRegKey();
    Trace(kTraceRegistrySearch);
    Trace(regKey);
    DWORD manualCount = 0;
    {
        CRegistryKey manuals(HKEY_LOCAL_MACHINE, regKey.c_str(), KEY_ALL_ACCESS);
        manuals.Open();   // a key that cannot be opened counts as no manual left
        manualCount = manuals.m_dwSubKeyCount;
    }
    char countText[128] = {};
    std::snprintf(countText, sizeof(countText), "%d\n", static_cast<int>(manualCount));
    Trace(kTraceRegistryCount);
    Trace(countText);
    Trace("\n");
    if (manualCount != 0) return;   // another manual still uses the viewer

    const std::string finalCommand = program + kFinalArgument;
    Trace(kTraceCommand);
    Trace(finalCommand);
    RunAndWait(program.c_str(), finalCommand.c_str());

    // The viewer's files are deleted only from a folder the program may delete as a whole: a
    // plan naming an empty, relative or system folder must not cost that folder its files.
    // The commands above and the registry steps below stay: they touch only the viewer's own
    // program and keys.
    if (IsSafeToDelete(folder)) {
        TraceAndDelete("\ndel exe:", program);
        TraceAndDelete("\ndel dll-1:", folder + "\\gdiplus.dll");
        TraceAndDelete("\ndel dll-2:", folder + "\\pelres.dll");
        TraceAndDelete("\ndel exe-2:", folder + "\\pelrun.exe");
        ShellDelete(folder);   // with whatever is still in it
    }

    RemoveViewerKeys();
}
