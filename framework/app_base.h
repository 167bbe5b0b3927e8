// The application object of a dialog-based program without a main window: the process entry
// runs the one object's InitInstance once, and the process then ends with exit code 0.
#pragma once
#include <windows.h>
#include <string>

class CWinAppBase {
public:
    CWinAppBase();            // registers itself as the one application object
    virtual ~CWinAppBase();
    CWinAppBase(const CWinAppBase&) = delete;
    CWinAppBase& operator=(const CWinAppBase&) = delete;

    virtual BOOL InitInstance();

    // Set-up of the old framework's 3-D control look; nothing in the program depends on it.
    BOOL Enable3dControlsStatic() { return TRUE; }

    // Filled by the process entry before InitInstance runs.
    const char* m_lpCmdLine = "";        // the command line after the program name
    const char* m_pszHelpFilePath = "";  // the program's full path, extension replaced by .HLP
    const char* m_pszAppName = "";       // the program file's name without extension

    // Sets the fields above from the process's command line and module path.
    void InitFromProcess();

private:
    std::string m_strCmdLine;
    std::string m_strHelpFilePath;
    std::string m_strAppName;
};

// The one application object, or null before it is constructed.
CWinAppBase* AfxGetApp();

// A modal message box titled with the application name; returns the button pressed, or what
// MessageBoxA returns when the box cannot be shown (0, or -1 under Wine without a display).
int AfxMessageBox(const char* text, UINT flags);

// The text of a command line after the program name, quoted or not, as the framework gives it.
const char* SkipProgramName(const char* commandLine);

// Framework and common-controls set-up. The program hosts no controls that need either, so both
// do nothing; in particular no common-controls DLL is loaded, which could otherwise be planted
// beside the program in the temp folder it runs from.
void AfxEnableControlContainer();
void AfxInitCommonControls();
