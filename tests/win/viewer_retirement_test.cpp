// The viewer retirement and its process runner against the test prefix, with the viewer
// stand-in (pelbox.exe from the build folder) installed in a test viewer folder on drive C.
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include "app/uninstall_app.h"
#include "plan/uninstall_plan.h"
#include "tests/win/registry_fixture.h"

namespace {
using namespace regtest;

const char kViewerKey[] = "SOFTWARE\\VORDA\\Quilldeck\\Vorda Utilities\\Brightleaf";
const char kUtilitiesKey[] = "SOFTWARE\\VORDA\\Quilldeck\\Vorda Utilities";
const char kProductKey[] = "SOFTWARE\\VORDA\\Quilldeck";
const char kVendorKey[] = "SOFTWARE\\VORDA";
const char* const kViewerFiles[] = {"pelbox.exe", "gdiplus.dll", "pelres.dll", "pelrun.exe"};

void DeleteEmptyVendorKey() {
    HKEY software = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | kView32, &software) !=
        ERROR_SUCCESS) {
        return;
    }
    HKEY vendor = nullptr;
    DWORD subKeys = 1;
    if (::RegOpenKeyExA(software, "VORDA", 0, KEY_ALL_ACCESS, &vendor) == ERROR_SUCCESS) {
        ::RegQueryInfoKeyA(vendor, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr);
        ::RegCloseKey(vendor);
        if (subKeys == 0) ::RegDeleteKeyA(software, "VORDA");
    }
    ::RegCloseKey(software);
}

// Lines of a log file, each without its line feed.
std::vector<std::string> LogLines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string text = ReadTextFile(path);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// One test's viewer: a folder below the test folder holding the stand-in and its companion
// files, its manuals key SOFTWARE\VORDA\Quilldeck\<unique>\Manuals, the viewer's own values,
// and a plan naming all of it. The stand-in logs outside the viewer folder, so that the log
// outlives the folder's removal.
class ViewerRetirementTest : public testing::Test {
protected:
    void SetUp() override {
        m_unique = UniqueName("viewer");
        m_manualsParent = std::string(kProductKey) + "\\" + m_unique;
        m_manualsKey = m_manualsParent + "\\Manuals";
        m_log = m_folder.Join("viewer.log");
        ASSERT_TRUE(CreateKey(kViewerKey, {{"AppName", "Brightleaf"}, {"AppPath", "x"}}));
    }

    void TearDown() override {
        DeleteTree(m_manualsParent);
        DeleteTree(kUtilitiesKey);
        for (const std::string& key : m_extraKeys) DeleteTree(key);
        // The vendor and product keys go only when no one else left anything in them.
        HKEY vendor = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVendorKey, 0, KEY_ALL_ACCESS | kView32,
                            &vendor) == ERROR_SUCCESS) {
            DWORD subKeys = 1;
            HKEY product = nullptr;
            if (::RegOpenKeyExA(vendor, "Quilldeck", 0, KEY_ALL_ACCESS, &product) == ERROR_SUCCESS) {
                ::RegQueryInfoKeyA(product, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr);
                ::RegCloseKey(product);
                if (subKeys == 0) ::RegDeleteKeyA(vendor, "Quilldeck");
            }
            ::RegCloseKey(vendor);
        }
        DeleteEmptyVendorKey();
    }

    // Installs the stand-in and its companions in folder and registers the manuals.
    void InstallViewer(const std::string& folder, const std::vector<std::string>& manuals) {
        ASSERT_TRUE(MakeFolders(folder));
        ASSERT_TRUE(::CopyFileA(StandInViewer().c_str(), (folder + "\\pelbox.exe").c_str(), FALSE))
            << StandInViewer();
        for (const char* companion : {"gdiplus.dll", "pelres.dll", "pelrun.exe", "readme.txt"}) {
            ASSERT_TRUE(WriteTextFile(folder + "\\" + companion, "x"));
        }
        ASSERT_TRUE(WriteTextFile(folder + "\\pelbox.ini", "[Brightleaf]\r\nmanuals=" + m_manualsKey +
                                                               "\r\nlog=" + m_log + "\r\n"));
        ASSERT_TRUE(CreateKey(m_manualsKey));
        for (const std::string& manual : manuals) ASSERT_TRUE(CreateKey(m_manualsKey + "\\" + manual));
    }

    // Writes the plan, reads it and retires the viewer.
    void Retire(const std::string& folder, const std::string& info, const std::string& regKey) {
        const std::string plan = "[BLFPath]\r\npath=" + folder + "\r\ninfo=" + info +
                                 "\r\nreg=" + regKey + "\r\n[ETC]\r\n0=C:\\nothing\r\n";
        ASSERT_TRUE(WriteTextFile(m_folder.Join("Uninstall.tmp"), plan));
        CUninstallPlan loaded(m_folder.Path().c_str());
        ASSERT_EQ(folder, loaded.GetViewerFolder());
        CUninstallApp app;
        app.m_pPlan = &loaded;
        app.RetireViewer();
        app.m_pPlan = nullptr;
    }

    void ExpectViewerFilesPresent(const std::string& folder, bool present) {
        for (const char* name : kViewerFiles) {
            EXPECT_EQ(present, PathExists(folder + "\\" + name)) << name;
        }
        EXPECT_EQ(present, PathExists(folder));
    }

    std::string Manual(const std::string& name) const { return m_manualsKey + "\\" + name; }

    CDriveFolder m_folder{"viewer_retirement_test"};
    std::string m_unique;
    std::string m_manualsParent;
    std::string m_manualsKey;
    std::string m_log;
    std::vector<std::string> m_extraKeys;
};

TEST_F(ViewerRetirementTest, AnotherManualKeepsTheViewer) {
    const std::string folder = m_folder.Join("Brightleaf");
    InstallViewer(folder, {"QD100", "QD200"});
    Retire(folder, "QD100", m_manualsKey);

    // The deregistration ran and was awaited: the stand-in takes a moment before it acts.
    EXPECT_EQ(std::vector<std::string>{folder + "\\pelbox.exe /d QD100"}, LogLines(m_log));
    EXPECT_FALSE(KeyExists(Manual("QD100")));
    EXPECT_TRUE(KeyExists(Manual("QD200")));
    ExpectViewerFilesPresent(folder, true);
    EXPECT_TRUE(ValueExists(kViewerKey, "AppName"));
    EXPECT_TRUE(ValueExists(kViewerKey, "AppPath"));
}

TEST_F(ViewerRetirementTest, LastManualRetiresTheViewer) {
    const std::string folder = m_folder.Join("Brightleaf");
    InstallViewer(folder, {"QD100"});
    Retire(folder, "QD100", m_manualsKey);

    const std::string program = folder + "\\pelbox.exe";
    EXPECT_EQ((std::vector<std::string>{program + " /d QD100", program + " /d all /u blf"}),
              LogLines(m_log));
    EXPECT_FALSE(KeyExists(m_manualsParent));   // the stand-in's own final clean-up
    ExpectViewerFilesPresent(folder, false);
    EXPECT_FALSE(KeyExists(kViewerKey));
    EXPECT_FALSE(KeyExists(kUtilitiesKey));
    EXPECT_FALSE(KeyExists(kProductKey));
    EXPECT_TRUE(KeyExists(kVendorKey));
}

TEST_F(ViewerRetirementTest, ViewerKeyChainStopsAtAKeyStillInUse) {
    struct Case {
        const char* name;
        std::string extraKey;   // a key someone else still uses, or none
        bool extraValue;        // a value of the viewer key that is not the viewer's to delete
        bool viewerRemains;
        bool utilitiesRemain;
    };
    const Case cases[] = {
        {"other product", std::string(kProductKey) + "\\Other_" + m_unique, false, false, false},
        {"other utility", std::string(kUtilitiesKey) + "\\Other_" + m_unique, false, false, true},
        {"unlisted viewer value", "", true, true, true},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(CreateKey(kViewerKey, {{"AppName", "Brightleaf"}, {"AppPath", "x"}}));
        if (c.extraValue) {
            ASSERT_TRUE(CreateKey(kViewerKey, {{"Other", "kept"}}));
        }
        if (!c.extraKey.empty()) {
            ASSERT_TRUE(CreateKey(c.extraKey));
            m_extraKeys.push_back(c.extraKey);
        }
        const std::string folder = m_folder.Join("viewer_" + std::to_string(++index));
        InstallViewer(folder, {"QD100"});
        Retire(folder, "QD100", m_manualsKey);

        ExpectViewerFilesPresent(folder, false);
        EXPECT_FALSE(ValueExists(kViewerKey, "AppName"));
        EXPECT_FALSE(ValueExists(kViewerKey, "AppPath"));
        EXPECT_EQ(c.viewerRemains, KeyExists(kViewerKey));
        EXPECT_EQ(c.utilitiesRemain, KeyExists(kUtilitiesKey));
        EXPECT_TRUE(KeyExists(kProductKey));
        if (!c.extraKey.empty()) {
            EXPECT_TRUE(KeyExists(c.extraKey));
        }
        if (c.extraValue) {
            EXPECT_TRUE(ValueExists(kViewerKey, "Other"));
        }
        for (const std::string& key : m_extraKeys) DeleteTree(key);
        DeleteTree(kUtilitiesKey);
    }
}

TEST_F(ViewerRetirementTest, MissingViewerKeyCountsAsNoManualLeft) {
    const std::string folder = m_folder.Join("Brightleaf");
    InstallViewer(folder, {"QD200"});
    Retire(folder, "QD100", m_manualsKey + "_absent");

    const std::string program = folder + "\\pelbox.exe";
    EXPECT_EQ((std::vector<std::string>{program + " /d QD100", program + " /d all /u blf"}),
              LogLines(m_log));
    ExpectViewerFilesPresent(folder, false);
    EXPECT_FALSE(ValueExists(kViewerKey, "AppName"));
}

TEST_F(ViewerRetirementTest, EmptyInfoKeepsTheTrailingBlank) {
    const std::string folder = m_folder.Join("Brightleaf");
    InstallViewer(folder, {"QD200"});
    Retire(folder, "", m_manualsKey);
    EXPECT_EQ(std::vector<std::string>{folder + "\\pelbox.exe /d "}, LogLines(m_log));
    ExpectViewerFilesPresent(folder, true);
}

TEST_F(ViewerRetirementTest, BlanksInTheFolderCannotStartAnotherProgram) {
    // Unquoted, "C:\...\Vorda Bright\leaf\pelbox.exe" is first tried as "C:\...\Vorda.exe".
    const std::string folder = m_folder.Join("Vorda Bright\\leaf");
    const std::string decoy = m_folder.Join("Vorda.exe");
    const std::string decoyLog = m_folder.Join("Vorda.log");
    InstallViewer(folder, {"QD100", "QD200"});
    ASSERT_TRUE(::CopyFileA(StandInViewer().c_str(), decoy.c_str(), FALSE));

    Retire(folder, "QD100", m_manualsKey);
    EXPECT_EQ(std::vector<std::string>{folder + "\\pelbox.exe /d QD100"}, LogLines(m_log));
    EXPECT_FALSE(PathExists(decoyLog));
    EXPECT_FALSE(KeyExists(Manual("QD100")));

    // Without the program named, the same command line starts the decoy: the case is real.
    RunAndWait(nullptr, (folder + "\\pelbox.exe /d QD200").c_str());
    EXPECT_TRUE(PathExists(decoyLog));
}

TEST_F(ViewerRetirementTest, UnsafeViewerFolderKeepsItsFiles) {
    // C:\ProgramData is a folder the system depends on: its files must not go with the viewer.
    const std::string folder = "C:\\ProgramData";
    struct Planted {
        std::string path;
        bool ours;
    };
    std::vector<Planted> planted;
    for (const char* name : {"pelbox.exe", "gdiplus.dll", "pelres.dll", "pelrun.exe", "pelbox.ini"}) {
        const std::string path = folder + "\\" + name;
        planted.push_back({path, !PathExists(path)});
    }
    for (const Planted& p : planted) ASSERT_TRUE(p.ours) << p.path << " exists before the test";
    InstallViewer(folder, {"QD100"});

    Retire(folder, "QD100", m_manualsKey);
    const std::string program = folder + "\\pelbox.exe";
    EXPECT_EQ((std::vector<std::string>{program + " /d QD100", program + " /d all /u blf"}),
              LogLines(m_log));
    for (const Planted& p : planted) EXPECT_TRUE(PathExists(p.path)) << p.path;
    EXPECT_FALSE(ValueExists(kViewerKey, "AppName"));   // the viewer's own keys still go

    for (const Planted& p : planted) ::DeleteFileA(p.path.c_str());
    ::DeleteFileA((folder + "\\readme.txt").c_str());
}

TEST_F(ViewerRetirementTest, EmptyViewerFolderDeletesNothing) {
    // The folder where the stand-in would be is the root of the current drive.
    InstallViewer(m_folder.Join("unused"), {});
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryA(m_folder.Path().c_str()));
    Retire("", "QD100", m_manualsKey);
    ::SetCurrentDirectoryA(current);
    EXPECT_TRUE(PathExists("C:\\regtests"));
    EXPECT_TRUE(PathExists(m_folder.Join("unused\\pelbox.exe")));
    EXPECT_FALSE(ValueExists(kViewerKey, "AppName"));
}

TEST_F(ViewerRetirementTest, CommandLinesLongerThan259BytesAreNotRun) {
    const std::string folder = m_folder.Join("Brightleaf");
    InstallViewer(folder, {});
    const std::string program = folder + "\\pelbox.exe";
    const std::string head = program + " /d ";
    ASSERT_LT(head.size(), 200u);
    const std::string fits = head + std::string(259 - head.size(), 'a');
    const std::string tooLong = head + std::string(260 - head.size(), 'b');
    RunAndWait(program.c_str(), tooLong.c_str());
    RunAndWait(program.c_str(), fits.c_str());
    EXPECT_EQ(std::vector<std::string>{fits}, LogLines(m_log));
}

TEST(RunAndWaitTest, ChildExitingWith259DoesNotHang) {
    char system[MAX_PATH] = {};
    ASSERT_GT(::GetSystemDirectoryA(system, MAX_PATH), 0u);
    const std::string shell = std::string(system) + "\\cmd.exe";
    const std::string command = "cmd.exe /c exit 259";

    // The child really reports 259, the code that also means "still running".
    {
        std::vector<char> buffer(command.begin(), command.end());
        buffer.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        ASSERT_TRUE(::CreateProcessA(shell.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &info));
        ::WaitForSingleObject(info.hProcess, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(info.hProcess, &code);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
        ASSERT_EQ(259u, code);
    }

    // A hang guard, not a speed check: a runner that polls the exit code would never return.
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread runner([shell, command, done] {
        RunAndWait(shell.c_str(), command.c_str());
        *done = true;
    });
    for (int i = 0; i < 600 && !*done; ++i) ::Sleep(100);
    if (*done) {
        runner.join();
    } else {
        runner.detach();
    }
    EXPECT_TRUE(*done);
}

TEST(RunAndWaitTest, ProgramThatCannotStartReturnsAtOnce) {
    RunAndWait("C:\\regtests\\no such folder\\pelbox.exe", "C:\\regtests\\no such folder\\pelbox.exe /d x");
    RunAndWait(nullptr, "");
    RunAndWait(nullptr, nullptr);
}

}  // namespace
