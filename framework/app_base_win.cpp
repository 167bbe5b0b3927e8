// The one application object, the fields it takes from the process, and its message box.
#include "framework/app_base.h"
#include <vector>
#include "framework/code_page.h"

namespace {
CWinAppBase* g_pApp = nullptr;

// The running program's full path, however long it is.
std::string ModuleFileName() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}
}  // namespace

CWinAppBase::CWinAppBase() { g_pApp = this; }

CWinAppBase::~CWinAppBase() {
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinAppBase::InitInstance() { return FALSE; }

void CWinAppBase::InitFromProcess() {
    const char* commandLine = ::GetCommandLineA();
    m_strCmdLine = SkipProgramName(commandLine ? commandLine : "");

    // The extension is looked for in the file name only: a dot in a folder name must not cut
    // the path there, since the folder part is what the program reads back.
    std::string path = ModuleFileName();
    std::size_t slash = FindLastBackslash(path);
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.rfind('.');   // 0x2E is never a trail byte
    std::size_t stemEnd = (dot == std::string::npos || dot < nameStart) ? path.size() : dot;
    m_strHelpFilePath = path.substr(0, stemEnd) + ".HLP";
    m_strAppName = path.substr(nameStart, stemEnd - nameStart);

    m_lpCmdLine = m_strCmdLine.c_str();
    m_pszHelpFilePath = m_strHelpFilePath.c_str();
    m_pszAppName = m_strAppName.c_str();
}

CWinAppBase* AfxGetApp() { return g_pApp; }

int AfxMessageBox(const char* text, UINT flags) {
    const char* title = g_pApp ? g_pApp->m_pszAppName : "";
    return ::MessageBoxA(nullptr, text, title, flags);
}

const char* SkipProgramName(const char* commandLine) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        // A quoted name runs to the closing quote; a missing one takes the whole line.
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p > ' ') ++p;
    }
    while (*p && *p <= ' ') ++p;
    return reinterpret_cast<const char*>(p);
}

void AfxEnableControlContainer() {}
void AfxInitCommonControls() {}
