// The trace log: silent and untouched while the switch is off, a faithful text-mode copy of the
// trace points when it was on at creation, and the desktop folder lookup. What needs the switch
// on at creation runs in a fresh child process of this program, since the log is process-wide.
// This is the one test program that turns tracing on, so it alone writes the trace file.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include "sys/in_use_probe.h"
#include "sys/trace_log.h"
#include "tests/portable/test_folder.h"
#include "tests/win/held_file.h"

namespace {

const char kChildVariable[] = "TRACE_LOG_TEST_CHILD";

bool InChild() { return std::getenv(kChildVariable) != nullptr; }

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const char* path) {
    CFileHandleOwner file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "<missing>";
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

void WriteAll(const char* path, const std::string& text) {
    CFileHandleOwner file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.IsValid()) << path;
    DWORD written = 0;
    ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// A UTF-8 text in Shift-JIS, converted by the system rather than by hand.
std::string ShiftJis(const char* utf8) {
    wchar_t wide[512] = {};
    ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    char bytes[1024] = {};
    ::WideCharToMultiByte(932, 0, wide, -1, bytes, sizeof(bytes), nullptr, nullptr);
    return bytes;
}

std::string WithCarriageReturns(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\n') result += '\r';
        result += c;
    }
    return result;
}

// Runs one child test and expects it to pass.
void RunChild(const char* name) {
    const std::string filter = std::string("TraceLogChild.") + name;
    ASSERT_EQ(0, RunSelfChild(filter.c_str(), kChildVariable)) << filter;
}

// --- In this process: the log is created with the switch off, as the program always does. ---

TEST(TraceLog, SwitchOffAtCreationLeavesTheTraceFileAlone) {
    ASSERT_FALSE(InChild());
    WriteAll(kTraceFilePath, "earlier run");
    SetTraceEnabled(0);
    CTraceLog& log = GetTraceLog();
    log.Trace("off\n");
    // Turning it on afterwards writes nothing either: no file was opened.
    SetTraceEnabled(1);
    log.Trace("on later\n");
    log.Flush();
    SetTraceEnabled(0);
    EXPECT_EQ("earlier run", ReadAll(kTraceFilePath));
    ::DeleteFileA(kTraceFilePath);

    EXPECT_EQ(&log, &GetTraceLog());
}

TEST(TraceLog, DesktopPathIsTheAllUsersDesktop) {
    char common[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, nullptr,
                                             SHGFP_TYPE_CURRENT, common)));
    EXPECT_EQ(common, GetTraceLog().GetDesktopPath());
    EXPECT_STRCASEEQ("C:\\users\\Public\\Desktop", GetTraceLog().GetDesktopPath().c_str());
    GetTraceLog().RefreshFolders();
    EXPECT_EQ(common, GetTraceLog().GetDesktopPath());
}

TEST(TraceLog, SwitchOffAtCreationCreatesNoFile) {
    ::DeleteFileA(kTraceFilePath);
    RunChild("OffAtCreation");
    EXPECT_FALSE(Exists(kTraceFilePath));
}

TEST(TraceLog, SwitchOnAtCreationEmptiesTheFileAndKeepsExactlyTheTexts) {
    WriteAll(kTraceFilePath, "a much longer text from an earlier run that must disappear\r\n");
    RunChild("OnAtCreation");
    EXPECT_EQ("first\r\nsecond\r\n\r\n\x81\x9f-\x95\x5C\r\nlast", ReadAll(kTraceFilePath));
    ::DeleteFileA(kTraceFilePath);
}

TEST(TraceLog, InUseProbeWritesItsTracePoints) {
    CTestFolder folder;
    ASSERT_TRUE(folder.WriteFile("free.chm", "x"));
    ASSERT_TRUE(folder.WriteFile("held.chm", "x"));
    ASSERT_TRUE(folder.WriteFile("readonly.chm", "x"));
    ::SetFileAttributesA(folder.Join("readonly.chm").c_str(), FILE_ATTRIBUTE_READONLY);
    CHeldFile holder;
    ASSERT_TRUE(holder.Hold(folder.Join("held.chm")));
    ::SetEnvironmentVariableA("TRACE_LOG_TEST_FOLDER", folder.Path().c_str());
    RunChild("ProbeTraces");
    ::SetEnvironmentVariableA("TRACE_LOG_TEST_FOLDER", nullptr);

    const std::string check = ShiftJis("\n◆◆ check file =");
    const std::string notInUse = ShiftJis("使用中と判断しませんでした。検査した結果のステータスは(");
    const std::string notInUseEnd = ShiftJis(")でした\n");
    const std::string expected =
        check + folder.Join("free.chm") + "\n" +
        check + folder.Join("held.chm") + "\n" + ShiftJis(" >>sts=(11) 使用中を検出しました") +
        check + folder.Join("readonly.chm") + "\n" + notInUse + "5" + notInUseEnd +
        ShiftJis("読書可能にモード変更試行\n") +
        check + folder.Join("missing.chm") + "\n" + notInUse + "2" + notInUseEnd;
    EXPECT_EQ(WithCarriageReturns(expected), ReadAll(kTraceFilePath));
    ::DeleteFileA(kTraceFilePath);
}

// --- Child runs: each starts a fresh process through RunSelfChild. ---

class TraceLogChild : public ::testing::Test {
protected:
    void SetUp() override {
        if (!InChild()) GTEST_SKIP() << "runs only as a child of the tests above";
    }
};

TEST_F(TraceLogChild, OffAtCreation) {
    SetTraceEnabled(0);
    GetTraceLog().Trace("off\n");
    SetTraceEnabled(1);
    GetTraceLog().Trace("on later\n");
}

TEST_F(TraceLogChild, OnAtCreation) {
    SetTraceEnabled(1);
    CTraceLog& log = GetTraceLog();
    for (const char* text : {"first\n", "second", "\n", "\n", "\x81\x9f-\x95\x5C\n", "last"})
        log.Trace(text);
    SetTraceEnabled(0);
    log.Trace("after the switch went off\n");
    // What was written reaches the file when the process ends; no explicit flush here.
}

TEST_F(TraceLogChild, ProbeTraces) {
    const char* folder = std::getenv("TRACE_LOG_TEST_FOLDER");
    ASSERT_NE(nullptr, folder);
    SetTraceEnabled(1);
    GetTraceLog();
    const std::string base = std::string(folder) + "\\";
    EXPECT_EQ(0, IsFileInUse(base + "free.chm"));
    EXPECT_EQ(1, IsFileInUse(base + "held.chm"));
    EXPECT_EQ(0, IsFileInUse(base + "readonly.chm"));
    EXPECT_EQ(0, IsFileInUse(base + "missing.chm"));
}

}  // namespace
