// Start-up and hand-off pieces under Wine: the command-line word, the program name skip, the
// application directory, the shell command, the administrator check, the viewer probe, the
// hidden launch, and the resources of the built program.
#include <gtest/gtest.h>
#include "tests/win/test_files.h"
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>
#include "app/admin_check.h"
#include "app/uninstall_app.h"
#include "framework/app_base.h"
#include "framework/unique_handle.h"

namespace {

std::string ModulePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

using testfiles::BuildFolder;

using testfiles::PathExists;

// A fresh folder of this test's own in the prefix's temp folder.
std::string MakeScratchFolder(const char* name) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "startup_test_" + name;
    std::string command = "cmd.exe /c rmdir /s /q \"" + folder + "\" >nul 2>nul";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ::WaitForSingleObject(pi.hProcess, 30000);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// ---------------------------------------------------------------------------------------------
// The word that selects the removal phase.

struct WordCase {
    const char* commandLine;
    BOOL removal;
};

TEST(HasUninstallArgument, SelectsThePhaseByTheExactWord) {
    const WordCase cases[] = {
        {"uninstall", TRUE},
        {"   uninstall   ", TRUE},
        {"first uninstall last", TRUE},
        {"uninstall uninstall", TRUE},
        {"", FALSE},
        {"   ", FALSE},
        {"Uninstall", FALSE},
        {"UNINSTALL", FALSE},
        {"/uninstall", FALSE},
        {"uninstall2", FALSE},
        {"first\tuninstall", FALSE},
        {"uninstall\tlast", FALSE},
        {"\"uninstall\"", FALSE},
    };
    for (const WordCase& c : cases) {
        CUninstallApp app;
        app.m_lpCmdLine = c.commandLine;
        EXPECT_EQ(app.HasUninstallArgument(), c.removal) << "command line [" << c.commandLine << "]";
    }
}

// ---------------------------------------------------------------------------------------------
// The command line after the program name.

struct SkipCase {
    const char* commandLine;
    const char* rest;
};

TEST(SkipProgramName, LeavesTheTextAfterTheProgramAndItsBlanks) {
    const SkipCase cases[] = {
        {"\"C:\\Program Files\\Manual\\uninstall.exe\" uninstall", "uninstall"},
        {"\"C:\\a b\\uninstall.exe\"   uninstall  ", "uninstall  "},
        {"\"C:\\a b\\uninstall.exe\"uninstall", "uninstall"},
        {"\"C:\\a b\\uninstall.exe\"", ""},
        {"\"C:\\never closed uninstall", ""},
        {"C:\\Manual\\uninstall.exe uninstall", "uninstall"},
        {"uninstall.exe\t \tone two", "one two"},
        {"uninstall.exe", ""},
        {"", ""},
        // Bytes above 0x7F belong to names, never to the blanks between words.
        {"C:\\\x95\x5c\\uninstall.exe \x83\x41", "\x83\x41"},
        {"\"C:\\\x95\x5c\\u.exe\" x", "x"},
    };
    for (const SkipCase& c : cases) {
        EXPECT_STREQ(SkipProgramName(c.commandLine), c.rest) << "command line [" << c.commandLine << "]";
    }
}

TEST(InitFromProcess, TakesNamesFromTheRunningProgram) {
    CUninstallApp app;
    app.InitFromProcess();
    std::string module = ModulePath();
    std::string stem = module.substr(0, module.rfind('.'));
    EXPECT_EQ(app.m_pszHelpFilePath, stem + ".HLP");
    EXPECT_STREQ(app.m_pszAppName, "startup_test");
    EXPECT_EQ(AfxGetApp(), &app);
    // ctest starts the test program with its options; the program name is never among them.
    EXPECT_EQ(std::string(app.m_lpCmdLine).find("startup_test"), std::string::npos) << app.m_lpCmdLine;
}

// ---------------------------------------------------------------------------------------------
// The application directory and the plan read from it.

TEST(LoadPlan, TakesTheFolderBeforeTheLastBackslash) {
    const struct {
        const char* helpPath;
        const char* directory;
    } cases[] = {
        {"C:\\Program Files\\Printer Manual\\uninstall.HLP", "C:\\Program Files\\Printer Manual"},
        {"C:\\users\\nobody\\Temp\\uninstall.HLP", "C:\\users\\nobody\\Temp"},
        {"C:\\folder.with.dots\\uninstall.HLP", "C:\\folder.with.dots"},
        {"C:\\uninstall.HLP", "C:"},
        {"uninstall.HLP", ""},
    };
    for (const auto& c : cases) {
        CUninstallApp app;
        app.m_pszHelpFilePath = c.helpPath;
        EXPECT_EQ(app.LoadPlan(), 0) << c.helpPath;   // no plan file in any of these
        EXPECT_EQ(GetAppDirectory(), c.directory) << c.helpPath;
        ASSERT_NE(app.m_pPlan, nullptr);
        EXPECT_EQ(app.m_pPlan->GetDirectory(), c.directory);
    }
}

TEST(LoadPlan, CountsTheRemovalEntriesOfThePlanBesideTheProgram) {
    std::string folder = MakeScratchFolder("plan folder");
    WriteFile(folder + "\\Uninstall.tmp",
              "[ETC]\r\n1=C:\\Manual\\a.chm\r\n2=C:\\Manual\r\n3=C:\\Manual\\b.chm\r\n"
              "[Message]\r\n1=t\r\n2=Remove the manual?\r\n3=Removing\r\n4=Close the viewer.\r\n");
    std::string helpPath = folder + "\\uninstall.HLP";
    CUninstallApp app;
    app.m_pszHelpFilePath = helpPath.c_str();
    EXPECT_EQ(app.LoadPlan(), 3);
    EXPECT_EQ(GetAppDirectory(), folder);
    EXPECT_EQ(app.m_pPlan->GetConfirmText(), "Remove the manual?");
    EXPECT_EQ(app.m_pPlan->GetWarningText(), "Close the viewer.");

    WriteFile(folder + "\\Uninstall.tmp", "[Message]\r\n1=t\r\n2=q\r\n3=p\r\n4=w\r\n[ETC]\r\n");
    CUninstallApp empty;
    empty.m_pszHelpFilePath = helpPath.c_str();
    EXPECT_EQ(empty.LoadPlan(), 0);
}

TEST(AppDirectory, IsReplacedWhole) {
    SetAppDirectory("C:\\first folder");
    EXPECT_EQ(GetAppDirectory(), "C:\\first folder");
    SetAppDirectory("C:\\x");
    EXPECT_EQ(GetAppDirectory(), "C:\\x");
    SetAppDirectory(nullptr);
    EXPECT_EQ(GetAppDirectory(), "");
}

// ---------------------------------------------------------------------------------------------
// Paths and the command interpreter's command line.

TEST(JoinPath, PutsOneBackslashBetweenFolderAndName) {
    const struct {
        const char* folder;
        const char* name;
        const char* joined;
    } cases[] = {
        {"C:\\users\\nobody\\Temp\\", "uninstall.exe", "C:\\users\\nobody\\Temp\\uninstall.exe"},
        {"C:\\users\\nobody\\Temp", "uninstall.tmp", "C:\\users\\nobody\\Temp\\uninstall.tmp"},
        {"C:\\Documents and Settings\\a b\\Temp\\", "uninstall.exe",
         "C:\\Documents and Settings\\a b\\Temp\\uninstall.exe"},
        {"", "uninstall.tmp", "\\uninstall.tmp"},
    };
    for (const auto& c : cases) {
        std::string result = "left over";
        CUninstallApp::JoinPath(c.folder, c.name, result);
        EXPECT_EQ(result, c.joined);
    }
}

class ShellCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        char value[MAX_PATH] = {};
        m_hadComspec = ::GetEnvironmentVariableA("COMSPEC", value, MAX_PATH) > 0;
        m_comspec = value;
    }
    void TearDown() override {
        ::SetEnvironmentVariableA("COMSPEC", m_hadComspec ? m_comspec.c_str() : nullptr);
    }
    bool m_hadComspec = false;
    std::string m_comspec;
};

TEST_F(ShellCommandTest, HasTwoBlanksBeforeTheQuotedProgram) {
    const char program[] = "\"C:\\users\\a b\\Temp\\uninstall.exe\" uninstall";
    std::string result;

    ::SetEnvironmentVariableA("COMSPEC", "C:\\windows\\system32\\cmd.exe");
    CUninstallApp::BuildShellCommand("", program, result);
    EXPECT_EQ(result, "C:\\windows\\system32\\cmd.exe /c  \"C:\\users\\a b\\Temp\\uninstall.exe\" uninstall");

    CUninstallApp::BuildShellCommand("first", "second", result);
    EXPECT_EQ(result, "C:\\windows\\system32\\cmd.exe /c first second");

    std::string longInterpreter = "C:\\" + std::string(400, 'x') + "\\cmd.exe";
    ::SetEnvironmentVariableA("COMSPEC", longInterpreter.c_str());
    CUninstallApp::BuildShellCommand("", "p", result);
    EXPECT_EQ(result, longInterpreter + " /c  p");

    ::SetEnvironmentVariableA("COMSPEC", nullptr);
    CUninstallApp::BuildShellCommand("", program, result);
    EXPECT_EQ(result, std::string(" /c  ") + program);
}

TEST(LaunchHidden, StartsTheCommandWithAHiddenWindow) {
    std::string robot = BuildFolder() + "\\robot.exe";
    if (!PathExists(robot)) GTEST_SKIP() << "robot.exe not built";
    std::string folder = MakeScratchFolder("launch");
    std::string report = folder + "\\startup info.txt";
    CUninstallApp::LaunchHidden(("\"" + robot + "\" startup-info \"" + report + "\"").c_str());
    for (int i = 0; i < 200 && !PathExists(report); ++i) ::Sleep(50);
    ::Sleep(100);
    std::ifstream in(report);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "flags=1 show=0");

    CUninstallApp::LaunchHidden("C:\\no such folder\\no such program.exe");   // returns quietly
}

// ---------------------------------------------------------------------------------------------
// The administrator check.

class AdministratorsSid {
public:
    AdministratorsSid() {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        ::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                   0, 0, 0, 0, 0, m_sid.Put());
    }
    PSID Get() const { return m_sid.Get(); }

private:
    CSidOwner m_sid;
};

// A group list made by hand, for lists the running user's token cannot show.
class GroupList {
public:
    void Add(PSID sid, DWORD attributes) { m_groups.push_back({sid, attributes}); }
    const TOKEN_GROUPS& Get() {
        m_buffer.assign(sizeof(TOKEN_GROUPS) + m_groups.size() * sizeof(SID_AND_ATTRIBUTES), 0);
        auto* groups = reinterpret_cast<TOKEN_GROUPS*>(m_buffer.data());
        groups->GroupCount = static_cast<DWORD>(m_groups.size());
        for (size_t i = 0; i < m_groups.size(); ++i) groups->Groups[i] = m_groups[i];
        return *groups;
    }

private:
    std::vector<SID_AND_ATTRIBUTES> m_groups;
    std::vector<unsigned char> m_buffer;
};

CSidOwner WellKnownSid(BYTE subCount, DWORD first, DWORD second, BYTE authority) {
    SID_IDENTIFIER_AUTHORITY id = {{0, 0, 0, 0, 0, authority}};
    CSidOwner sid;
    ::AllocateAndInitializeSid(&id, subCount, first, second, 0, 0, 0, 0, 0, 0, sid.Put());
    return sid;
}

TEST(AdministratorCheck, TheWineUserIsAnAdministrator) {
    CUninstallApp app;
    EXPECT_TRUE(app.IsAdministrator());
}

TEST(AdministratorCheck, WalksTheGroupsRegardlessOfAttributes) {
    AdministratorsSid administrators;
    CSidOwner everyone = WellKnownSid(1, SECURITY_WORLD_RID, 0, 1);
    CSidOwner users = WellKnownSid(2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 5);
    CSidOwner powerUsers = WellKnownSid(2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_POWER_USERS, 5);
    ASSERT_TRUE(administrators.Get() && everyone && users && powerUsers);

    GroupList none;
    EXPECT_FALSE(HoldsAdministratorsGroup(none.Get()));

    GroupList others;
    others.Add(everyone.Get(), SE_GROUP_ENABLED | SE_GROUP_MANDATORY);
    others.Add(users.Get(), SE_GROUP_ENABLED);
    others.Add(powerUsers.Get(), SE_GROUP_ENABLED);
    EXPECT_FALSE(HoldsAdministratorsGroup(others.Get()));

    GroupList last = others;
    last.Add(administrators.Get(), SE_GROUP_ENABLED);
    EXPECT_TRUE(HoldsAdministratorsGroup(last.Get()));

    GroupList denyOnly;
    denyOnly.Add(everyone.Get(), SE_GROUP_ENABLED);
    denyOnly.Add(administrators.Get(), SE_GROUP_USE_FOR_DENY_ONLY);
    EXPECT_TRUE(HoldsAdministratorsGroup(denyOnly.Get()));
}

// A token whose Administrators group the system itself made deny-only, used by the thread.
TEST(AdministratorCheck, ARestrictedThreadTokenWithDenyOnlyAdministratorsPasses) {
    AdministratorsSid administrators;
    CHandleOwner processToken;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(),
                                   TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_ASSIGN_PRIMARY,
                                   processToken.Put()));
    SID_AND_ATTRIBUTES disable = {administrators.Get(), 0};
    CHandleOwner restricted;
    if (!::CreateRestrictedToken(processToken.Get(), 0, 1, &disable, 0, nullptr, 0, nullptr,
                                 restricted.Put())) {
        GTEST_SKIP() << "CreateRestrictedToken failed: " << ::GetLastError();
    }

    DWORD size = 0;
    ::GetTokenInformation(restricted.Get(), TokenGroups, nullptr, 0, &size);
    std::vector<ULONGLONG> buffer(size / sizeof(ULONGLONG) + 1);
    ASSERT_TRUE(::GetTokenInformation(restricted.Get(), TokenGroups, buffer.data(),
                                      static_cast<DWORD>(buffer.size() * sizeof(ULONGLONG)), &size));
    const auto& groups = *reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    bool sawDenyOnly = false;
    for (DWORD i = 0; i < groups.GroupCount; ++i) {
        if (::EqualSid(groups.Groups[i].Sid, administrators.Get()) &&
            (groups.Groups[i].Attributes & SE_GROUP_USE_FOR_DENY_ONLY)) {
            sawDenyOnly = true;
        }
    }
    if (!sawDenyOnly) GTEST_SKIP() << "this system does not mark the group deny-only";
    EXPECT_TRUE(HoldsAdministratorsGroup(groups));

    CHandleOwner impersonation;
    ASSERT_TRUE(::DuplicateToken(restricted.Get(), SecurityImpersonation, impersonation.Put()));
    ASSERT_TRUE(::SetThreadToken(nullptr, impersonation.Get()));
    CUninstallApp app;
    BOOL result = app.IsAdministrator();
    ::RevertToSelf();
    EXPECT_TRUE(result);
}

// ---------------------------------------------------------------------------------------------
// The shared viewer's mutex.

TEST(IsViewerRunning, SeesTheViewersMutexAndLeavesNoneBehind) {
    CUninstallApp app;
    EXPECT_FALSE(app.IsViewerRunning());
    // The probe lets go of the mutex it made, so it does not pretend a viewer later on.
    EXPECT_EQ(::OpenMutexA(SYNCHRONIZE, FALSE, "Global\\Brightleaf"), nullptr);
    EXPECT_FALSE(app.IsViewerRunning());

    CHandleOwner viewer(::CreateMutexA(nullptr, TRUE, "Global\\Brightleaf"));
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(app.IsViewerRunning());
    EXPECT_TRUE(app.IsViewerRunning());
    viewer.Reset();
    EXPECT_FALSE(app.IsViewerRunning());
}

// ---------------------------------------------------------------------------------------------
// The resources of the built program, read back from its file.

class CModuleOwnerTraits {
public:
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};
using CModuleOwner = CUniqueHandle<CModuleOwnerTraits>;

const LANGID kJapanese = 0x411;

std::vector<unsigned char> ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name) {
    HRSRC found = ::FindResourceExA(module, type, name, kJapanese);
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* data = static_cast<const unsigned char*>(::LockResource(loaded));
    if (!data) return {};
    return std::vector<unsigned char>(data, data + ::SizeofResource(module, found));
}

// Reads a classic dialog template field by field.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<unsigned char>& bytes) : m_bytes(bytes) {}
    WORD Word() {
        WORD value = 0;
        if (m_at + 2 <= m_bytes.size()) std::memcpy(&value, &m_bytes[m_at], 2);
        m_at += 2;
        return value;
    }
    DWORD Dword() {
        DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    std::wstring Text() {
        std::wstring text;
        for (WORD c = Word(); c != 0 && m_at <= m_bytes.size(); c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignDword() { m_at = (m_at + 3) & ~static_cast<size_t>(3); }

private:
    const std::vector<unsigned char>& m_bytes;
    size_t m_at = 0;
};

std::string LanguagesOtherThanJapanese(HMODULE module) {
    std::string found;
    ::EnumResourceTypesA(
        module,
        [](HMODULE m, LPSTR type, LONG_PTR out) -> BOOL {
            return ::EnumResourceNamesA(
                m, type,
                [](HMODULE m2, LPCSTR t, LPSTR name, LONG_PTR out2) -> BOOL {
                    return ::EnumResourceLanguagesA(
                        m2, t, name,
                        [](HMODULE, LPCSTR t3, LPCSTR n3, WORD language, LONG_PTR out3) -> BOOL {
                            if (language != kJapanese) {
                                char line[96];
                                std::snprintf(line, sizeof(line), "type %u name %u language 0x%x; ",
                                              static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(t3)),
                                              static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(n3)),
                                              language);
                                *reinterpret_cast<std::string*>(out3) += line;
                            }
                            return TRUE;
                        },
                        out2);
                },
                out);
        },
        reinterpret_cast<LONG_PTR>(&found));
    return found;
}

std::string VersionString(const std::vector<unsigned char>& info, const char* field) {
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    HMODULE version = ::LoadLibraryA("version.dll");
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(::GetProcAddress(version, "VerQueryValueA")));
    if (!query) return "(no VerQueryValueA)";
    char* text = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\041103a4\\") + field;
    if (!query(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || !text) {
        return "(missing)";
    }
    return text;
}

std::vector<unsigned char> FileVersionInfo(const std::string& file) {
    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    HMODULE version = ::LoadLibraryA("version.dll");
    auto getSize = reinterpret_cast<SizeFn>(
        reinterpret_cast<void*>(::GetProcAddress(version, "GetFileVersionInfoSizeA")));
    auto getInfo = reinterpret_cast<InfoFn>(
        reinterpret_cast<void*>(::GetProcAddress(version, "GetFileVersionInfoA")));
    if (!getSize || !getInfo) return {};
    DWORD ignored = 0;
    DWORD size = getSize(file.c_str(), &ignored);
    std::vector<unsigned char> info(size);
    if (size == 0 || !getInfo(file.c_str(), 0, size, info.data())) return {};
    return info;
}

void CheckResources(const std::string& program, const char* architecture) {
    SCOPED_TRACE(program);
    CModuleOwner module(::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module) << "cannot load " << program << ": " << ::GetLastError();

    EXPECT_EQ(LanguagesOtherThanJapanese(module.Get()), "");

    std::vector<unsigned char> manifestBytes =
        ResourceBytes(module.Get(), MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    std::string manifest(manifestBytes.begin(), manifestBytes.end());
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("version=\"5.1.0.0\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find(std::string("processorArchitecture=\"") + architecture + "\""),
              std::string::npos) << manifest;
    EXPECT_NE(manifest.find("type=\"win32\""), std::string::npos) << manifest;

    std::vector<unsigned char> dialog =
        ResourceBytes(module.Get(), MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(131));
    ASSERT_FALSE(dialog.empty()) << "no Japanese dialog template 131";
    TemplateReader reader(dialog);
    EXPECT_EQ(reader.Dword(), 0x80C000C0u);   // popup, caption, modal frame, font; hidden
    EXPECT_EQ(reader.Dword(), 0u);
    EXPECT_EQ(reader.Word(), 1u);             // one control
    const WORD frame[] = {0, 0, 200, 54};
    for (WORD expected : frame) EXPECT_EQ(reader.Word(), expected);
    EXPECT_EQ(reader.Word(), 0u);             // no menu
    EXPECT_EQ(reader.Word(), 0u);             // the standard dialog class
    EXPECT_EQ(reader.Text(), L"Uninstalling");
    EXPECT_EQ(reader.Word(), 10u);
    EXPECT_EQ(reader.Text(), L"\xff2d\xff33 \xff30\x30b4\x30b7\x30c3\x30af");   // ＭＳ Ｐゴシック
    reader.AlignDword();
    EXPECT_EQ(reader.Dword(), 0x50020000u);   // child, visible, group, left-aligned text
    EXPECT_EQ(reader.Dword(), 0u);
    const WORD place[] = {7, 7, 186, 40, 1003};
    for (WORD expected : place) EXPECT_EQ(reader.Word(), expected);
    EXPECT_EQ(reader.Word(), 0xFFFFu);
    EXPECT_EQ(reader.Word(), 0x0082u);        // static
    EXPECT_EQ(reader.Text(), L"Uninstalling...");

    std::vector<unsigned char> version = FileVersionInfo(program);
    ASSERT_FALSE(version.empty());
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::LoadLibraryA("version.dll"), "VerQueryValueA")));
    ASSERT_NE(query, nullptr);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(version.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00060000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00060000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(VersionString(version, "InternalName"), "UnInstall");
    EXPECT_EQ(VersionString(version, "OriginalFilename"), "UnInstall.EXE");
}

TEST(Resources, OfTheBuiltProgram) {
    std::string program = BuildFolder() + "\\uninstall.exe";
    if (!PathExists(program)) GTEST_SKIP() << "uninstall.exe not built";
#ifdef _WIN64
    CheckResources(program, "amd64");
#else
    CheckResources(program, "X86");
#endif
}

// The shipped build is the 32-bit one; its resources are checked when it was built beside us.
TEST(Resources, OfThe32BitBuild) {
    std::string folder = BuildFolder();
    std::string program = folder.substr(0, folder.rfind('\\')) + "\\win32\\uninstall.exe";
    if (!PathExists(program)) GTEST_SKIP() << program << " not built";
    CheckResources(program, "X86");
}

}  // namespace
