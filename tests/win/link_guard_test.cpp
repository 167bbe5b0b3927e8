// The shell deletion and folder links: a tree that holds a link, or that is one, is left whole
// (and the folder the link leads to untouched); links above the named folder are followed.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "framework/unique_handle.h"
#include "sys/deletion_safety.h"
#include "sys/file_ops.h"
#include "tests/portable/test_folder.h"

namespace {

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Under Wine, Windows code cannot make a link that leads anywhere (CreateSymbolicLinkA answers
// success and makes nothing), but it can start Unix programs: links are made and removed with
// ln and rm on the Unix names of the paths.
using UnixNameFunction = char*(CDECL*)(const WCHAR*);

UnixNameFunction WineUnixName() {
    return reinterpret_cast<UnixNameFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

// The Unix name of a Windows path whose folder exists (the last part itself need not).
std::string UnixName(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    const std::string folder = path.substr(0, slash);
    std::wstring wide(folder.begin(), folder.end());   // the test paths are ASCII
    char* unix = WineUnixName()(wide.c_str());
    if (unix == nullptr) return "";
    const std::string name = std::string(unix) + "/" + path.substr(slash + 1);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return name;
}

bool RunUnixCommand(const std::string& program, const std::string& arguments) {
    std::string commandLine = program + " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const std::string application = "Z:" + program;
    if (!::CreateProcessA(application.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process))
        return false;
    CHandleOwner processOwner(process.hProcess);
    CHandleOwner threadOwner(process.hThread);
    ::WaitForSingleObject(process.hProcess, 10000);
    return true;
}

// Waits (a Unix process's end is not always seen through its handle) until done() holds.
template <typename Done>
bool WaitFor(Done done) {
    for (int i = 0; i < 100 && !done(); ++i) ::Sleep(50);
    return done();
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A link at `link` to the folder `target`, removed again (the link only) at the end.
class CLink {
public:
    CLink(const std::string& link, const std::string& target) : m_link(link) {
        if (WineUnixName() != nullptr) {
            m_made = RunUnixCommand("/bin/ln", "-s " + Quoted(UnixName(target)) + " " +
                                                   Quoted(UnixName(link)));
        } else {
            const DWORD flags = SYMBOLIC_LINK_FLAG_DIRECTORY |
                                0x2 /* SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE */;
            m_made = ::CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) != FALSE;
        }
        m_made = m_made && WaitFor([&] { return Exists(link); });
    }
    ~CLink() {
        if (!m_made) return;
        if (WineUnixName() != nullptr) {
            RunUnixCommand("/bin/rm", "-f " + Quoted(UnixName(m_link)));
            WaitFor([&] { return !Exists(m_link); });
        } else {
            ::RemoveDirectoryA(m_link.c_str());
        }
    }
    CLink(const CLink&) = delete;
    CLink& operator=(const CLink&) = delete;
    bool IsMade() const { return m_made; }

private:
    std::string m_link;
    bool m_made = false;
};

std::string WindowsFolder() {
    char path[MAX_PATH] = {};
    ::GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

// A tree to delete (tree\a.txt, tree\a\b\c.txt) and a folder elsewhere that a link may lead
// to (target\keep.txt, target\sub\keep.txt).
class LinkGuard : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"tree", "tree\\a", "tree\\a\\b", "target", "target\\sub"})
            ASSERT_TRUE(m_folder.MakeFolder(folder)) << folder;
        for (const char* file :
             {"tree\\a.txt", "tree\\a\\b\\c.txt", "target\\keep.txt", "target\\sub\\keep.txt"})
            ASSERT_TRUE(m_folder.WriteFile(file, "x")) << file;
    }
    std::string Join(const std::string& relative) const { return m_folder.Join(relative); }
    bool TargetIsWhole() const {
        return Exists(Join("target\\keep.txt")) && Exists(Join("target\\sub\\keep.txt"));
    }
    CTestFolder m_folder;
};

// A folder link anywhere in the named tree, or the named folder itself a link: nothing is
// deleted, neither in the tree nor where the link leads.
TEST_F(LinkGuard, ATreeWithAFolderLinkIsLeftWhole) {
    struct Case {
        const char* link;      // made to lead to "target"
        const char* deleted;   // what ShellDelete is asked to delete
    };
    const Case cases[] = {
        {"tree\\shared", "tree"},
        {"tree\\a\\b\\shared", "tree"},
        {"tree\\a\\b\\shared", "tree\\a"},
        {"named", "named"},
    };
    for (const Case& c : cases) {
        CLink link(Join(c.link), Join("target"));
        ASSERT_TRUE(link.IsMade()) << c.link;
        ASSERT_TRUE(Exists(Join(std::string(c.link) + "\\keep.txt"))) << c.link;
        EXPECT_FALSE(IsTreeFreeOfLinks(Join(c.deleted))) << c.link;
        EXPECT_EQ(0, ShellDelete(Join(c.deleted))) << c.link;
        EXPECT_TRUE(TargetIsWhole()) << c.link;
        EXPECT_TRUE(Exists(Join("tree\\a\\b\\c.txt"))) << c.link;
        EXPECT_TRUE(Exists(Join(c.link))) << c.link;
    }
}

// A link that leads into the system's own folders, as the named folder or above it. The guard
// is asked first, so that a fault shows as a failure rather than a wrecked prefix.
TEST_F(LinkGuard, RefusesAFolderThatReallyLiesInAProtectedPlace) {
    struct Case {
        const char* link;
        std::string target;
        const char* deleted;
        std::string realPlace;
    };
    const std::string windows = WindowsFolder();
    const Case cases[] = {
        {"fonts", windows + "\\Fonts", "fonts", windows + "\\Fonts"},
        {"win", windows, "win\\Fonts", windows + "\\Fonts"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Exists(c.realPlace)) << c.realPlace;
        CLink link(Join(c.link), c.target);
        ASSERT_TRUE(link.IsMade()) << c.link;
        ASSERT_TRUE(IsSafeToDelete(Join(c.deleted))) << c.deleted;   // the name alone passes
        ASSERT_FALSE(IsTreeFreeOfLinks(Join(c.deleted))) << c.deleted;
        EXPECT_EQ(0, ShellDelete(Join(c.deleted))) << c.deleted;
        EXPECT_TRUE(Exists(c.realPlace)) << c.realPlace;
    }
}

// Links in the folders above the named one are where the folder lives (under Wine the
// profile's Desktop is one): such a tree is deleted like any other, and so is a tree named by
// an 8.3 form of its name.
TEST_F(LinkGuard, LinksAboveTheNamedFolderAreFollowed) {
    CLink via(Join("via"), Join("target"));
    ASSERT_TRUE(via.IsMade());
    EXPECT_TRUE(IsTreeFreeOfLinks(Join("via\\sub")));
    EXPECT_EQ(1, ShellDelete(Join("via\\sub")));
    EXPECT_FALSE(Exists(Join("target\\sub")));
    EXPECT_TRUE(Exists(Join("target\\keep.txt")));

    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(
        ::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)));
    const std::string onDesktop =
        std::string(desktop) + "\\link_guard_" + std::to_string(::GetCurrentProcessId());
    ASSERT_TRUE(::CreateDirectoryA(onDesktop.c_str(), nullptr)) << onDesktop;
    ASSERT_TRUE(::CreateDirectoryA((onDesktop + "\\sub").c_str(), nullptr));
    EXPECT_TRUE(IsTreeFreeOfLinks(onDesktop)) << onDesktop;
    EXPECT_EQ(1, ShellDelete(onDesktop)) << onDesktop;
    EXPECT_FALSE(Exists(onDesktop)) << onDesktop;

    const std::string longName = Join("a folder with a long name");
    ASSERT_TRUE(::CreateDirectoryA(longName.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((longName + "\\inner folder").c_str(), nullptr));
    char shortName[MAX_PATH] = {};
    const DWORD length = ::GetShortPathNameA(longName.c_str(), shortName, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    EXPECT_TRUE(IsTreeFreeOfLinks(shortName)) << shortName;
    EXPECT_EQ(1, ShellDelete(shortName)) << shortName;
    EXPECT_FALSE(Exists(longName));
}

TEST(LinkGuardPaths, MissingAndMalformedPathsAreNotFree) {
    for (const std::string& path : {std::string(), std::string("C:\\missing_link_guard"),
                                    std::string("C:\\*"), std::string("C:\\a\0b", 6)})
        EXPECT_FALSE(IsTreeFreeOfLinks(path)) << path;
}

}  // namespace
