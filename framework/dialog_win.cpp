// Modeless dialogs from resource templates, and their static text controls.
#include "framework/dialog.h"
#include <cstring>

namespace {

HINSTANCE g_resourceModule = nullptr;

// The dialog whose window is being made on this thread, and the hook that catches its creation.
thread_local CDialogBase* t_creating = nullptr;
thread_local HHOOK t_creationHook = nullptr;

// Position and style words of a dialog template (DIALOG or DIALOGEX form).
struct CTemplateHeader {
    DWORD style = 0;
    short x = 0;
    short y = 0;
};

bool ReadTemplateHeader(HINSTANCE module, UINT templateId, CTemplateHeader& header) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(templateId),
                                  MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (found == nullptr || ::SizeofResource(module, found) < 18) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (data == nullptr) return false;
    WORD first = 0, second = 0;
    memcpy(&first, data, 2);
    memcpy(&second, data + 2, 2);
    size_t styleAt = 0, positionAt = 10;
    if (first == 1 && second == 0xFFFF) {   // DIALOGEX: version, signature, help id, ex-style
        if (::SizeofResource(module, found) < 26) return false;
        styleAt = 12;
        positionAt = 18;
    }
    memcpy(&header.style, data + styleAt, 4);
    memcpy(&header.x, data + positionAt, 2);
    memcpy(&header.y, data + positionAt + 2, 2);
    return true;
}

}  // namespace

HINSTANCE AfxGetResourceHandle() {
    return g_resourceModule ? g_resourceModule : ::GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE module) { g_resourceModule = module; }

bool CStaticControl::Attach(HWND dialog, int controlId) {
    m_hWnd = dialog ? ::GetDlgItem(dialog, controlId) : nullptr;
    return m_hWnd != nullptr;
}

bool CStaticControl::SetWindowText(const char* text) {
    return m_hWnd != nullptr && ::SetWindowTextA(m_hWnd, text ? text : "") != FALSE;
}

CDialogBase::CDialogBase(UINT templateId) : m_templateId(templateId) {}

CDialogBase::~CDialogBase() { DestroyWindow(); }

bool CDialogBase::Create() {
    if (m_hWnd != nullptr) return false;
    // WM_CREATE reaches the dialog class's window procedure before the dialog procedure is in
    // place, so the window is caught by a creation hook and subclassed until WM_CREATE is done.
    t_creating = this;
    t_creationHook = ::SetWindowsHookExA(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
    HWND window = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_templateId),
                                       nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
    if (t_creationHook != nullptr) ::UnhookWindowsHookEx(t_creationHook);
    t_creationHook = nullptr;
    t_creating = nullptr;
    if (window == nullptr) m_hWnd = nullptr;
    return window != nullptr;
}

LRESULT CALLBACK CDialogBase::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    CDialogBase* self = t_creating;
    if (code == HCBT_CREATEWND && self != nullptr && self->m_hWnd == nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        self->m_hWnd = window;
        self->m_classProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
            window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CreationWindowProc)));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CDialogBase::CreationWindowProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    CDialogBase* self = t_creating;
    if (self == nullptr || self->m_hWnd != window || self->m_classProc == nullptr)
        return ::DefDlgProcA(window, message, wParam, lParam);
    if (message != WM_CREATE)
        return ::CallWindowProcA(self->m_classProc, window, message, wParam, lParam);
    // The subclass is needed for this one message only.
    WNDPROC classProc = self->m_classProc;
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc));
    int result = self->OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    self->m_classProc = nullptr;
    return result == -1 ? -1 : 0;
}

int CDialogBase::OnCreate(CREATESTRUCTA* createStruct) {
    WNDPROC classProc = m_classProc ? m_classProc : ::DefDlgProcA;
    LRESULT result = ::CallWindowProcA(classProc, m_hWnd, WM_CREATE, 0,
                                       reinterpret_cast<LPARAM>(createStruct));
    return result == -1 ? -1 : 0;
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    (void)wParam;
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialogBase*>(lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        if (self == nullptr) return TRUE;
        self->m_hWnd = window;
        self->DoDataExchange();
        self->CentreIfDue();
        return TRUE;
    }
    if (message == WM_NCDESTROY) {
        auto* self = reinterpret_cast<CDialogBase*>(::GetWindowLongPtrA(window, DWLP_USER));
        if (self != nullptr && self->m_hWnd == window) self->m_hWnd = nullptr;
        ::SetWindowLongPtrA(window, DWLP_USER, 0);
    }
    return FALSE;
}

void CDialogBase::DoDataExchange() {}

void CDialogBase::BindControl(int controlId, CStaticControl& control) {
    control.Attach(m_hWnd, controlId);
}

void CDialogBase::CentreIfDue() {
    if (m_hWnd == nullptr) return;
    if (::GetWindowLongPtrA(m_hWnd, GWL_STYLE) & WS_VISIBLE) return;
    if (::GetWindow(m_hWnd, GW_OWNER) != nullptr) return;
    CTemplateHeader header;
    if (!ReadTemplateHeader(AfxGetResourceHandle(), m_templateId, header)) return;
    if (header.style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) return;
    if (header.x != 0 || header.y != 0) return;

    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT area{};
    if (::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor))
        area = monitor.rcWork;
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int x = area.left + ((area.right - area.left) - width) / 2;
    int y = area.top + ((area.bottom - area.top) - height) / 2;
    // Keep the caption on the screen when the window is larger than the work area.
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialogBase::ShowWindow(int showCommand) {
    return m_hWnd ? ::ShowWindow(m_hWnd, showCommand) : FALSE;
}

BOOL CDialogBase::UpdateWindow() { return m_hWnd ? ::UpdateWindow(m_hWnd) : FALSE; }

BOOL CDialogBase::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    HWND window = m_hWnd;
    m_hWnd = nullptr;
    return ::DestroyWindow(window);
}
