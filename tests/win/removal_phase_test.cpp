// The removal phase against real folders of the test prefix: what it deletes, in which order,
// what it leaves alone, and how it stops when a help file is held open.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>
#include "app/uninstall_app.h"
#include "plan/uninstall_plan.h"
#include "sys/deletion_safety.h"
#include "sys/trace_log.h"
#include "tests/win/test_files.h"

namespace {

// The removal phase ends the process with exit(0) when it finds a help file in use. Outside the
// child runs below, that must never happen: it would end this program with a passing exit code
// and the remaining tests unrun.
bool g_exitAllowed = false;
bool g_testsDone = false;

void RefuseUnexpectedExit() {
    if (g_testsDone || g_exitAllowed) return;
    std::fputs("removal phase ended the test program early\n", stderr);
    std::fflush(stderr);
    _exit(3);
}

class CExitGuard : public testing::Environment {
public:
    void SetUp() override { std::atexit(RefuseUnexpectedExit); }
    void TearDown() override { g_testsDone = true; }
};
testing::Environment* const g_exitGuard = testing::AddGlobalTestEnvironment(new CExitGuard);

CUninstallApp& App() {
    static CUninstallApp app;
    static bool initialised = false;
    if (!initialised) {
        app.InitFromProcess();   // message boxes are titled with this program's name
        initialised = true;
    }
    return app;
}

const char kTestRoot[] = "C:\\removal_phase_test";
const char kChildPlanVariable[] = "REMOVAL_PHASE_CHILD_PLAN";

using testfiles::PathExists;
using testfiles::RemoveTree;

void MakeFolders(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
        ::CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        if (at == std::string::npos) break;
    }
}

void WriteFile(const std::string& path, const std::string& text = "x") {
    MakeFolders(path.substr(0, path.rfind('\\')));
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

bool IsReadOnly(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

struct CPlanText {
    std::vector<std::string> removalList;
    std::vector<std::string> shortcutNames;   // "" gives a manual without a shortcut name
    std::string progressText = "Removing the manual...";
    std::string warningText = "Close the manual, then start the uninstaller again.";
};

void WritePlanFile(const std::string& folder, const CPlanText& plan) {
    std::string text = "[MANUALS]\r\n";
    for (std::size_t i = 0; i < plan.shortcutNames.size(); ++i)
        text += "M" + std::to_string(i) + "=M" + std::to_string(i) + "," +
                plan.shortcutNames[i] + "\r\n";
    text += "[ETC]\r\n";
    for (std::size_t i = 0; i < plan.removalList.size(); ++i)
        text += std::to_string(i) + "=" + plan.removalList[i] + "\r\n";
    text += "[Message]\r\n0=test\r\n1=Remove the manual?\r\n2=" + plan.progressText +
            "\r\n3=" + plan.warningText + "\r\n";
    WriteFile(folder + "\\Uninstall.tmp", text);
}

// Each test works in a folder of its own; the plan file lives in a folder the plan never names.
class RemovalPhaseTest : public testing::Test {
protected:
    void SetUp() override {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        m_root = std::string(kTestRoot) + "\\" + info->test_suite_name() + "_" + name;
        RemoveTree(m_root);
        MakeFolders(m_root);
        m_planFolder = m_root + "\\plan";
        MakeFolders(m_planFolder);
    }

    void TearDown() override {
        App().m_pPlan = nullptr;
        m_plan.reset();
        RemoveTree(m_root);
    }

    std::string At(const std::string& relative) const { return m_root + "\\" + relative; }

    void LoadPlan(const CPlanText& text) {
        WritePlanFile(m_planFolder, text);
        m_plan = std::make_unique<CUninstallPlan>(m_planFolder.c_str());
        App().m_pPlan = m_plan.get();
    }

    void RunPhase(const CPlanText& text) {
        LoadPlan(text);
        App().RunRemovalPhase();
    }

    std::string m_root;
    std::string m_planFolder;
    std::unique_ptr<CUninstallPlan> m_plan;
};

// Records, in order, the paths (relative to a folder) that disappear below that folder.
class CRemovalRecorder {
public:
    explicit CRemovalRecorder(const std::string& folder) {
        m_folder = ::CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                                 nullptr);
        m_overlapped.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_buffer.resize(64 * 1024);
        Request();
    }
    ~CRemovalRecorder() {
        if (m_folder != INVALID_HANDLE_VALUE) {
            ::CancelIo(m_folder);
            ::CloseHandle(m_folder);
        }
        ::CloseHandle(m_overlapped.hEvent);
    }

    bool IsWatching() const { return m_watching; }

    // Collects what has been reported until the folder has been quiet for a while.
    std::vector<std::string> Collect() {
        while (m_watching && ::WaitForSingleObject(m_overlapped.hEvent, 1000) == WAIT_OBJECT_0) {
            DWORD size = 0;
            if (!::GetOverlappedResult(m_folder, &m_overlapped, &size, FALSE)) break;
            for (DWORD at = 0; size != 0 && at < size;) {
                auto* record = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(&m_buffer[at]);
                if (record->Action == FILE_ACTION_REMOVED) {
                    char name[MAX_PATH * 2] = {};
                    ::WideCharToMultiByte(CP_ACP, 0, record->FileName,
                                          static_cast<int>(record->FileNameLength / 2), name,
                                          sizeof(name) - 1, nullptr, nullptr);
                    m_removed.push_back(name);
                }
                if (record->NextEntryOffset == 0) break;
                at += record->NextEntryOffset;
            }
            Request();
        }
        return m_removed;
    }

private:
    void Request() {
        ::ResetEvent(m_overlapped.hEvent);
        m_watching = m_folder != INVALID_HANDLE_VALUE &&
                     ::ReadDirectoryChangesW(m_folder, m_buffer.data(),
                                             static_cast<DWORD>(m_buffer.size()), TRUE,
                                             FILE_NOTIFY_CHANGE_FILE_NAME |
                                                 FILE_NOTIFY_CHANGE_DIR_NAME,
                                             nullptr, &m_overlapped, nullptr);
    }

    HANDLE m_folder = INVALID_HANDLE_VALUE;
    OVERLAPPED m_overlapped{};
    std::vector<BYTE> m_buffer;
    std::vector<std::string> m_removed;
    bool m_watching = false;
};

std::size_t PositionOf(const std::vector<std::string>& list, const std::string& item) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (_stricmp(list[i].c_str(), item.c_str()) == 0) return i;
    return std::string::npos;
}

TEST_F(RemovalPhaseTest, DeletesInstallerFilesFirstThenTheListFromLastToFirst) {
    WriteFile(At("P\\page.html"));
    for (const char* name : {"uninstall.exe", "uninstall.tmp", "Lanternv4.ico", "other.txt"})
        WriteFile(At(std::string("Q\\") + name));
    WriteFile(At("R"));
    CRemovalRecorder recorder(m_root);
    ASSERT_TRUE(recorder.IsWatching());

    RunPhase({{At("P"), At("Q"), At("R")}, {}});

    for (const char* gone : {"P", "Q", "R"}) EXPECT_FALSE(PathExists(At(gone))) << gone;
    EXPECT_TRUE(PathExists(m_planFolder + "\\Uninstall.tmp"));
    std::vector<std::string> removed = recorder.Collect();
    const std::vector<std::string> expectedOrder = {
        "Q\\uninstall.exe", "Q\\uninstall.tmp", "Q\\Lanternv4.ico", "R", "Q", "P"};
    std::size_t previous = 0;
    for (const std::string& item : expectedOrder) {
        std::size_t position = PositionOf(removed, item);
        ASSERT_NE(position, std::string::npos) << item << " not seen removed";
        EXPECT_GE(position, previous) << item << " removed too early";
        previous = position;
    }
}

TEST_F(RemovalPhaseTest, LeavesEntriesEndingInABackslashAlone) {
    WriteFile(At("kept\\file.txt"));
    WriteFile(At("Q\\uninstall.exe"));
    WriteFile(At("gone\\file.txt"));

    RunPhase({{At("kept\\"), At("Q"), At("gone"), ""}, {}});

    EXPECT_TRUE(PathExists(At("kept\\file.txt")));
    EXPECT_FALSE(PathExists(At("Q")));
    EXPECT_FALSE(PathExists(At("gone")));
}

TEST_F(RemovalPhaseTest, DeletesTheNamedDesktopShortcutsOnly) {
    GetTraceLog().RefreshFolders();
    const std::string desktop = GetTraceLog().GetDesktopPath();
    ASSERT_FALSE(desktop.empty());
    const std::string prefix = desktop + "\\removal_phase_test ";
    for (const char* name : {"Alpha.lnk", "Beta.lnk", "Gamma.lnk", "Alpha", ".lnk"})
        WriteFile(prefix + name);

    RunPhase({{At("P"), At("Q")},
              {"removal_phase_test Alpha", "", "removal_phase_test Beta"}});

    EXPECT_FALSE(PathExists(prefix + "Alpha.lnk"));
    EXPECT_FALSE(PathExists(prefix + "Beta.lnk"));
    for (const char* kept : {"Gamma.lnk", "Alpha", ".lnk"}) {
        EXPECT_TRUE(PathExists(prefix + kept)) << kept;
        ::DeleteFileA((prefix + kept).c_str());
    }
}

// Without a fully qualified second entry there is no install folder: the installer's files are
// looked for nowhere, neither at the root of the drive nor in the current folder.
TEST_F(RemovalPhaseTest, LooksForNoInstallerFilesWithoutAnInstallFolder) {
    const std::string workFolder = At("work");
    const char* const installerFiles[] = {"uninstall.exe", "uninstall.tmp", "Lanternv4.ico"};
    struct CCase {
        const char* label;
        std::vector<std::string> removalList;
        std::vector<std::string> untouched;   // relative to the work folder, or absolute
    };
    const std::vector<CCase> cases = {
        {"one entry", {At("P")}, {"C:\\"}},
        {"empty second entry", {At("P"), ""}, {"C:\\"}},
        {"relative second entry", {At("P"), "inst"}, {"inst\\"}},
        {"rooted second entry without drive", {At("P"), "\\removal_phase_test_inst"},
         {"C:\\removal_phase_test_inst\\"}},
    };
    char previousFolder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previousFolder);
    for (const CCase& test : cases) {
        SCOPED_TRACE(test.label);
        std::vector<std::string> watched;
        for (const char* name : installerFiles) {
            watched.push_back(workFolder + "\\" + name);
            for (const std::string& folder : test.untouched)
                watched.push_back(folder.size() > 1 && folder[1] == ':'
                                      ? folder + name
                                      : workFolder + "\\" + folder + name);
        }
        for (const std::string& path : watched) WriteFile(path);
        WriteFile(At("P\\page.html"));
        ASSERT_TRUE(::SetCurrentDirectoryA(workFolder.c_str()));

        RunPhase({test.removalList, {}});

        ::SetCurrentDirectoryA(previousFolder);
        EXPECT_FALSE(PathExists(At("P")));
        for (const std::string& path : watched) {
            EXPECT_TRUE(PathExists(path)) << path;
            if (path.compare(0, m_root.size(), m_root) != 0) ::DeleteFileA(path.c_str());
        }
        RemoveTree("C:\\removal_phase_test_inst");
    }
}

// A path the deletion safety test refuses is not deleted; the phase carries on with the rest.
TEST_F(RemovalPhaseTest, RefusesUnsafeEntriesAndGoesOn) {
    WriteFile(At("Q\\uninstall.exe"));
    WriteFile(At("Q\\uninstall.tmp"));
    WriteFile(At("last.txt"));
    WriteFile(At("first.txt"));
    WriteFile(At("kept.txt"));
    const std::vector<std::string> unsafe = {"C:\\windows", "C:\\windows\\..", "C:",
                                             At("kep*"), At("kept.txt.")};
    // Never hand these to the phase unless the safety test is known to refuse them: in this
    // prefix a wrong answer would delete the Windows folder.
    for (const std::string& path : unsafe) ASSERT_FALSE(IsSafeToDelete(path)) << path;

    std::vector<std::string> list = {At("first.txt"), At("Q")};
    list.insert(list.end(), unsafe.begin(), unsafe.end());
    list.push_back(At("last.txt"));
    RunPhase({list, {}});

    EXPECT_TRUE(PathExists("C:\\windows\\system32"));
    EXPECT_TRUE(PathExists(At("kept.txt")));
    EXPECT_FALSE(PathExists(At("first.txt")));
    EXPECT_FALSE(PathExists(At("Q")));
    EXPECT_FALSE(PathExists(At("last.txt")));
}

// Only the three named files go; the rest of the install folder is the list's business.
TEST_F(RemovalPhaseTest, InstallerFilesAreRemovedByName) {
    for (const char* name : {"uninstall.exe", "uninstall.tmp", "Lanternv4.ico", "keep.txt"})
        WriteFile(At(std::string("inst\\") + name));
    LoadPlan({{At("P"), At("inst")}, {}});

    App().RemoveInstallerFiles(At("inst"));

    for (const char* gone : {"uninstall.exe", "uninstall.tmp", "Lanternv4.ico"})
        EXPECT_FALSE(PathExists(At(std::string("inst\\") + gone))) << gone;
    EXPECT_TRUE(PathExists(At("inst\\keep.txt")));
}

// The scan probes files whose path ends in chm and nothing else. The probe makes a read-only
// file that nobody holds writable, which shows which files it looked at.
TEST_F(RemovalPhaseTest, ScanProbesFilesEndingInChmOnly) {
    struct CEntry {
        const char* path;
        bool probed;
    };
    const CEntry entries[] = {
        {"docs\\manual.CHM", true},      {"docs\\guide.chm", true},
        {"docs\\xchm", true},            {"docs\\readme.txt", false},
        {"docs\\chm.txt", false},        {"docs\\deep\\deeper\\inner.chm", true},
        {"docs\\docs.chm\\inside.chm", true}, {"docs\\docs.chm\\inside.txt", false},
    };
    for (const CEntry& entry : entries) {
        WriteFile(At(entry.path));
        ASSERT_TRUE(::SetFileAttributesA(At(entry.path).c_str(), FILE_ATTRIBUTE_READONLY));
    }
    // A folder whose name ends in chm is entered, not probed (a probe would clear this flag).
    const bool folderFlagKept =
        ::SetFileAttributesA(At("docs\\docs.chm").c_str(),
                             FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY) &&
        IsReadOnly(At("docs\\docs.chm"));
    LoadPlan({{At("docs")}, {}});

    App().ScanHelpFiles(At("docs"));

    for (const CEntry& entry : entries)
        EXPECT_EQ(IsReadOnly(At(entry.path)), !entry.probed) << entry.path;
    if (folderFlagKept) {
        EXPECT_TRUE(IsReadOnly(At("docs\\docs.chm")));
    }
    ::SetFileAttributesA(At("docs\\docs.chm").c_str(), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(RemovalPhaseTest, ScanDoesNotFollowLinksOutOfTheFolder) {
    WriteFile(At("outside\\linked.chm"));
    ASSERT_TRUE(::SetFileAttributesA(At("outside\\linked.chm").c_str(), FILE_ATTRIBUTE_READONLY));
    MakeFolders(At("docs"));
    if (!::CreateSymbolicLinkA(At("docs\\link").c_str(), At("outside").c_str(),
                               SYMBOLIC_LINK_FLAG_DIRECTORY)) {
        GTEST_SKIP() << "symbolic links not available (error " << ::GetLastError() << ")";
    }
    DWORD attributes = ::GetFileAttributesA(At("docs\\link").c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "this system does not report the link as a reparse point";
    LoadPlan({{At("docs")}, {}});

    App().ScanHelpFiles(At("docs"));

    EXPECT_TRUE(IsReadOnly(At("outside\\linked.chm")));
    ::SetFileAttributesA(At("outside\\linked.chm").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A help file held open stops the whole uninstall before anything is deleted. That ends the
// process, so the phase runs in a child copy of this program; this process holds the file and
// answers the warning box.
struct CChildRun {
    DWORD exitCode = STILL_ACTIVE;
    std::vector<std::string> boxTexts;   // the warning boxes seen, in order
    std::vector<std::string> boxTitles;
};

struct CBoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<CBoxSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof(className));
    // The progress window is a dialog too; only the message box has the 0xFFFF text control.
    if (owner == search->processId && std::string(className) == "#32770" &&
        ::GetDlgItem(window, 0xFFFF) != nullptr && ::IsWindowVisible(window)) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

CChildRun RunPhaseInChild(const std::string& planFolder) {
    CChildRun run;
    char program[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string commandLine = std::string("\"") + program +
                              "\" --gtest_filter=RemovalPhaseChild.DISABLED_RunsThePhase"
                              " --gtest_also_run_disabled_tests";
    ::SetEnvironmentVariableA(kChildPlanVariable, planFolder.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    BOOL started = ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &startup, &process);
    ::SetEnvironmentVariableA(kChildPlanVariable, nullptr);
    if (!started) return run;
    ::CloseHandle(process.hThread);
    for (int waited = 0; waited < 60000; waited += 50) {
        if (::WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
        CBoxSearch search{process.dwProcessId, nullptr};
        ::EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.box == nullptr) continue;
        char text[512] = {};
        char title[256] = {};
        ::GetDlgItemTextA(search.box, 0xFFFF, text, sizeof(text));
        ::GetWindowTextA(search.box, title, sizeof(title));
        run.boxTexts.push_back(text);
        run.boxTitles.push_back(title);
        ::PostMessageA(search.box, WM_COMMAND, IDOK, 0);
        ::Sleep(200);
    }
    if (::WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 99);
    ::GetExitCodeProcess(process.hProcess, &run.exitCode);
    ::CloseHandle(process.hProcess);
    return run;
}

TEST(RemovalPhaseChild, DISABLED_RunsThePhase) {
    char planFolder[MAX_PATH] = {};
    if (::GetEnvironmentVariableA(kChildPlanVariable, planFolder, MAX_PATH) == 0)
        GTEST_SKIP() << "runs only as the child of the help-file tests";
    g_exitAllowed = true;
    CUninstallPlan plan(planFolder);
    App().m_pPlan = &plan;
    App().RunRemovalPhase();
    App().m_pPlan = nullptr;
    // Reaching this point means the phase did not stop: leave a mark for the parent.
    WriteFile(std::string(planFolder) + "\\phase returned");
    g_exitAllowed = false;
}

TEST_F(RemovalPhaseTest, HelpFileHeldOpenStopsEverythingBeforeAnyDeletion) {
    const std::string helpFile = At("html\\a\\b\\c\\manual.chm");
    WriteFile(helpFile);
    for (const char* name : {"uninstall.exe", "uninstall.tmp", "Lanternv4.ico"})
        WriteFile(At(std::string("inst\\") + name));
    WriteFile(At("last.txt"));
    CPlanText text{{At("html"), At("inst"), At("last.txt")}, {}};
    text.warningText = "Close the manual first.";
    WritePlanFile(m_planFolder, text);

    {
        HANDLE held = ::CreateFileA(helpFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        CChildRun run = RunPhaseInChild(m_planFolder);
        ::CloseHandle(held);

        EXPECT_EQ(run.exitCode, 0u);
        ASSERT_EQ(run.boxTexts, std::vector<std::string>{"Close the manual first."});
        EXPECT_EQ(run.boxTitles, std::vector<std::string>{"removal_phase_test"});
        EXPECT_FALSE(PathExists(m_planFolder + "\\phase returned"));
        for (const char* kept : {"html\\a\\b\\c\\manual.chm", "inst\\uninstall.exe",
                                 "inst\\uninstall.tmp", "inst\\Lanternv4.ico", "last.txt"})
            EXPECT_TRUE(PathExists(At(kept))) << kept;
        EXPECT_TRUE(IsReadOnly(helpFile));
    }

    // Closed again, the same plan goes through.
    CChildRun run = RunPhaseInChild(m_planFolder);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxTexts.empty());
    EXPECT_TRUE(PathExists(m_planFolder + "\\phase returned"));
    for (const char* gone : {"html", "inst", "last.txt"}) EXPECT_FALSE(PathExists(At(gone))) << gone;
}

// A help file that is itself a listed entry is not probed: held open, it is simply handed to
// the deletion like any other entry.
TEST_F(RemovalPhaseTest, ListedHelpFileIsNotProbed) {
    const std::string helpFile = At("single.chm");
    WriteFile(helpFile);
    WriteFile(At("inst\\uninstall.exe"));
    WritePlanFile(m_planFolder, {{helpFile, At("inst")}, {}});
    HANDLE held = ::CreateFileA(helpFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    CChildRun run = RunPhaseInChild(m_planFolder);
    ::CloseHandle(held);

    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxTexts.empty());
    EXPECT_TRUE(PathExists(m_planFolder + "\\phase returned"));
    EXPECT_FALSE(PathExists(At("inst")));
}

}  // namespace
