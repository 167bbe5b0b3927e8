// Test support: a file held open by another process (tools/holder.exe), and child runs of the
// test program itself for what must happen in a fresh process.
#pragma once
#include <windows.h>
#include <string>
#include "framework/unique_handle.h"

// The full path of a tool built with the tests. The tools lie in the build folder, which is the
// test program's folder or one of its parents; the first folder going up that holds it wins.
std::string FindToolPath(const char* exeName);

// Keeps a file open in another process until Release or destruction.
class CHeldFile {
public:
    CHeldFile() = default;
    ~CHeldFile() { Release(); }
    CHeldFile(const CHeldFile&) = delete;
    CHeldFile& operator=(const CHeldFile&) = delete;

    // Starts the holder on path and waits until it holds the file. False when it does not.
    bool Hold(const std::string& path, bool shareRead = false);
    // Lets the holder close the file and waits for it to end.
    void Release();

private:
    CHandleOwner m_process;
    std::string m_readyFile;
};

// Runs this test program again with --gtest_filter=filter and the environment variable
// variable set to 1; returns the child's exit code, or -1 when it could not run or hung.
int RunSelfChild(const char* filter, const char* variable);
