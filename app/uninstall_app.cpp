// Start-up: rights, the single hand-off lock, the plan, the viewer check, and the choice of
// phase. InitInstance returns FALSE on every path, so the process never enters a message loop.
#include "app/uninstall_app.h"
#include <cstdlib>
#include <vector>
#include "app/admin_check.h"
#include "framework/code_page.h"
#include "framework/unique_handle.h"
#include "sys/string_utils.h"

namespace {
const char kAdministratorRefusal[] = "Please log it in again in the administrator authority.";
const char kHandOffMutexName[] = "Uninstall";
const char kViewerMutexName[] = "Global\\Brightleaf";

// The access token to check: the thread's own when it impersonates, else the process's.
bool OpenCallerToken(CHandleOwner& token) {
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, FALSE, token.Put())) return true;
    if (::GetLastError() != ERROR_NO_TOKEN) return false;
    return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put()) != FALSE;
}
}  // namespace

BOOL CUninstallApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    if (!IsAdministrator()) {
        AfxMessageBox(kAdministratorRefusal, MB_TOPMOST | MB_SETFOREGROUND | MB_ICONWARNING);
        std::exit(0);
    }

    if (!HasUninstallArgument()) {
        // Only one hand-off at a time. The handle stays open on purpose: the lock lasts as long
        // as this process does. A creation that fails for another reason does not stop us.
        ::SetLastError(ERROR_SUCCESS);
        ::CreateMutexA(nullptr, FALSE, kHandOffMutexName);
        if (::GetLastError() == ERROR_ALREADY_EXISTS) return FALSE;
    }

    AfxInitCommonControls();

    if (LoadPlan() <= 0) return FALSE;

    if (IsViewerRunning()) {
        AfxMessageBox(m_pPlan->GetWarningText().c_str(), MB_ICONWARNING);
        return FALSE;
    }

    RunPhase();
    return FALSE;
}

BOOL CUninstallApp::IsAdministrator() {
    CHandleOwner token;
    if (!OpenCallerToken(token)) return FALSE;

    DWORD size = 0;
    if (::GetTokenInformation(token.Get(), TokenGroups, nullptr, 0, &size)) return FALSE;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return FALSE;

    // Rounded up to whole 4-byte units; held in 8-byte units so that the list is aligned.
    DWORD rounded = (size + 3) & ~static_cast<DWORD>(3);
    std::vector<ULONGLONG> buffer((rounded + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG));
    if (!::GetTokenInformation(token.Get(), TokenGroups, buffer.data(), rounded, &size)) {
        return FALSE;
    }
    return HoldsAdministratorsGroup(*reinterpret_cast<const TOKEN_GROUPS*>(buffer.data()));
}

BOOL CUninstallApp::HasUninstallArgument() {
    CStringList words;
    SplitTokens(m_lpCmdLine ? m_lpCmdLine : "", words, " ");
    for (const std::string& word : words) {
        if (word == kRemovalWord) return TRUE;   // exact bytes, case included
    }
    return FALSE;
}

int CUninstallApp::LoadPlan() {
    std::string helpPath = m_pszHelpFilePath ? m_pszHelpFilePath : "";
    std::size_t slash = FindLastBackslash(helpPath);
    SetAppDirectory(slash == std::string::npos ? "" : helpPath.substr(0, slash).c_str());

    std::string directory = GetAppDirectory();
    m_pPlan = new CUninstallPlan(directory.c_str());   // lives until the process ends
    return static_cast<int>(m_pPlan->GetRemovalList().size());
}

BOOL CUninstallApp::IsViewerRunning() {
    SECURITY_DESCRIPTOR descriptor;
    if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return FALSE;
    if (!::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE)) return FALSE;

    SECURITY_ATTRIBUTES attributes;
    attributes.nLength = sizeof(attributes);
    attributes.lpSecurityDescriptor = &descriptor;
    attributes.bInheritHandle = FALSE;

    // The viewer holds this mutex while it runs. When it does not, the probe creates the
    // mutex for a moment and lets it go again at once.
    ::SetLastError(ERROR_SUCCESS);
    CHandleOwner mutex(::CreateMutexA(&attributes, FALSE, kViewerMutexName));
    return mutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

void CUninstallApp::RunPhase() {
    if (HasUninstallArgument()) {
        RunRemovalPhase();
    } else {
        HandOff();
    }
}
