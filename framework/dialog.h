// A modeless dialog built from a dialog template of the program's resources, and the static
// text control it binds. Thin: only what the program's progress window needs.
#pragma once
#include <windows.h>
#include <string>

// The module whose resources dialogs are built from: the program itself unless set otherwise
// (a test may point it at the built program file, loaded as a resource module).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// A static text control of a dialog, bound to the control's id.
class CStaticControl {
public:
    CStaticControl() = default;
    virtual ~CStaticControl() = default;
    CStaticControl(const CStaticControl&) = delete;
    CStaticControl& operator=(const CStaticControl&) = delete;

    // Binds to the control id of dialog; false when the dialog has no such control.
    bool Attach(HWND dialog, int controlId);
    HWND GetSafeHwnd() const { return m_hWnd; }
    // Replaces the control's text; false when unbound or refused.
    bool SetWindowText(const char* text);

private:
    HWND m_hWnd = nullptr;
};

class CDialogBase {
public:
    // A dialog from template templateId, without a parent window.
    explicit CDialogBase(UINT templateId);
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Creates the modeless window. Data exchange runs during creation, and a window created
    // hidden, without owner, whose template places it at 0,0 without a centring or absolute
    // alignment style, is centred on the screen. False when the window could not be made.
    bool Create();

    HWND GetSafeHwnd() const { return m_hWnd; }
    UINT GetTemplateId() const { return m_templateId; }
    BOOL ShowWindow(int showCommand);
    BOOL UpdateWindow();
    BOOL DestroyWindow();

protected:
    // Binds the dialog's controls; runs once the controls exist.
    virtual void DoDataExchange();
    // WM_CREATE: -1 refuses the window. The default runs the dialog class's own processing
    // and gives -1 when that refused, else 0.
    virtual int OnCreate(CREATESTRUCTA* createStruct);
    // Binds control to the dialog's controlId (for DoDataExchange).
    void BindControl(int controlId, CStaticControl& control);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationWindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam);
    void CentreIfDue();

    UINT m_templateId;
    HWND m_hWnd = nullptr;
    WNDPROC m_classProc = nullptr;   // the dialog class's window procedure while WM_CREATE runs
};
