// The uninstaller's application object: start-up checks and the two phases.
//   hand-off phase (from the install folder): confirm, stage in the temp folder, relaunch;
//   removal phase (from the temp folder, word "uninstall"): scan, delete, clean the registry,
//   retire the shared viewer.
#pragma once
#include <string>
#include "framework/app_base.h"
#include "plan/uninstall_plan.h"

class CUninstallApp : public CWinAppBase {
public:
    CUninstallApp() = default;
    ~CUninstallApp() override = default;

    BOOL InitInstance() override;

    // Start-up (uninstall_app.cpp).
    BOOL IsAdministrator();
    BOOL HasUninstallArgument();
    int LoadPlan();
    BOOL IsViewerRunning();
    void RunPhase();

    // Hand-off phase (hand_off.cpp).
    void HandOff();
    static void JoinPath(const char* folder, const char* name, std::string& result);
    static void BuildShellCommand(const char* first, const char* second, std::string& result);
    static void LaunchHidden(const char* commandLine);

    // Removal phase (removal_phase.cpp).
    void RunRemovalPhase();
    void ScanHelpFiles(const std::string& folder);
    void RemoveInstallerFiles(const std::string& installFolder);

    // Plan registry cleanup (plan_registry.cpp) and viewer retirement (viewer_retirement.cpp).
    void CleanPlanRegistry();
    void RetireViewer();

    CUninstallPlan* m_pPlan = nullptr;   // set once by LoadPlan, lives until the process ends
};

// The command-line word that selects the removal phase (exact bytes, case included).
constexpr char kRemovalWord[] = "uninstall";

// The process-wide application directory: the running program's folder, no trailing backslash.
void SetAppDirectory(const char* folder);
const std::string& GetAppDirectory();

// Starts a command line and waits until the program has ended (viewer_retirement.cpp's helper,
// run_and_wait.cpp). applicationName names the program explicitly; the command line is passed
// as written. Returns at once when the program cannot be started or the line is too long.
void RunAndWait(const char* applicationName, const char* commandLine);

// The longest command line RunAndWait runs, in bytes.
constexpr std::size_t kMaxCommandLine = 259;
