// Test support: a file held open by another process, and child runs of the test program.
#include "tests/win/held_file.h"

namespace {

std::string ModulePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Starts commandLine and returns the process, or an empty owner.
CHandleOwner StartProcess(std::string commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return CHandleOwner();
    ::CloseHandle(info.hThread);
    return CHandleOwner(info.hProcess);
}

}  // namespace

std::string FindToolPath(const char* exeName) {
    std::string folder = ModulePath();
    for (;;) {
        const std::size_t slash = folder.find_last_of('\\');
        if (slash == std::string::npos) return exeName;
        folder.erase(slash);
        const std::string candidate = folder + "\\" + exeName;
        if (::GetFileAttributesA(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
    }
}

bool CHeldFile::Hold(const std::string& path, bool shareRead) {
    Release();
    static unsigned counter = 0;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    m_readyFile = std::string(temp) + "holder_ready_" + std::to_string(::GetCurrentProcessId()) +
                  "_" + std::to_string(++counter);
    ::DeleteFileA(m_readyFile.c_str());
    m_process = StartProcess("\"" + FindToolPath("holder.exe") + "\" \"" + path + "\" \"" +
                             m_readyFile + "\"" + (shareRead ? " share-read" : ""));
    if (!m_process) return false;
    for (int waited = 0; waited < 30000; waited += 20) {
        if (::GetFileAttributesA(m_readyFile.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        if (::WaitForSingleObject(m_process.Get(), 20) == WAIT_OBJECT_0) break;   // gave up
    }
    Release();
    return false;
}

void CHeldFile::Release() {
    if (!m_readyFile.empty()) ::DeleteFileA(m_readyFile.c_str());
    if (m_process) {
        if (::WaitForSingleObject(m_process.Get(), 30000) != WAIT_OBJECT_0)
            ::TerminateProcess(m_process.Get(), 1);
        m_process.Reset();
    }
    m_readyFile.clear();
}

int RunSelfChild(const char* filter, const char* variable) {
    ::SetEnvironmentVariableA(variable, "1");
    CHandleOwner child = StartProcess("\"" + ModulePath() + "\" --gtest_color=no --gtest_filter=" +
                                      filter);
    ::SetEnvironmentVariableA(variable, nullptr);
    if (!child) return -1;
    if (::WaitForSingleObject(child.Get(), 120000) != WAIT_OBJECT_0) {
        ::TerminateProcess(child.Get(), 1);
        return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(child.Get(), &code);
    return static_cast<int>(code);
}
