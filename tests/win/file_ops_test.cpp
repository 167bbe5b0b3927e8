// Folder chains, copies into a folder, and the shell deletion with the paths it must refuse.
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

DWORD AttributesOf(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }
bool Exists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }
bool IsFolder(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileText(const std::string& path) {
    CFileHandleOwner file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "<unreadable>";
    char buffer[4096];
    DWORD read = 0;
    ::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr);
    return std::string(buffer, read);
}

class FileOps : public ::testing::Test {
protected:
    std::string Join(const std::string& relative) const { return m_folder.Join(relative); }
    CTestFolder m_folder;
};

TEST_F(FileOps, EnsureDirectoriesRefusesPathsWithoutComponents) {
    EXPECT_EQ(0, EnsureDirectories(nullptr));
    EXPECT_EQ(0, EnsureDirectories(""));
    EXPECT_EQ(0, EnsureDirectories("\\\\\\"));
    EXPECT_EQ(1, EnsureDirectories("C:"));
    EXPECT_EQ(1, EnsureDirectories("C:\\"));
}

TEST_F(FileOps, EnsureDirectoriesCreatesTheMissingChain) {
    const std::string deep = Join("a\\b");
    EXPECT_EQ(1, EnsureDirectories(deep.c_str()));
    EXPECT_TRUE(IsFolder(Join("a")));
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_EQ(1, EnsureDirectories(deep.c_str()));
    EXPECT_TRUE(IsFolder(deep));

    // Doubled and trailing separators give the same folders.
    const std::string untidy = m_folder.Path() + "\\\\c\\\\d\\";
    EXPECT_EQ(1, EnsureDirectories(untidy.c_str()));
    EXPECT_TRUE(IsFolder(Join("c\\d")));
}

TEST_F(FileOps, EnsureDirectoriesStopsAtAFileButStillAnswersOne) {
    ASSERT_TRUE(m_folder.WriteFile("a", "file"));
    EXPECT_EQ(1, EnsureDirectories(Join("a\\b").c_str()));
    EXPECT_FALSE(IsFolder(Join("a")));
    EXPECT_FALSE(Exists(Join("a\\b")));
}

TEST_F(FileOps, EnsureDirectoriesOfOneRelativeComponentCreatesNothing) {
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryA(m_folder.Path().c_str()));
    EXPECT_EQ(1, EnsureDirectories("Temp"));
    EXPECT_FALSE(Exists(Join("Temp")));
    ::SetCurrentDirectoryA(current);
}

TEST_F(FileOps, CopyIntoDirectoryCreatesTheTargetChain) {
    ASSERT_TRUE(m_folder.MakeFolder("src"));
    ASSERT_TRUE(m_folder.WriteFile("src\\uninstall.tmp", "plan"));
    EXPECT_NE(0, CopyIntoDirectory(Join("src"), Join("t\\u"), "uninstall.tmp"));
    EXPECT_EQ("plan", ReadFileText(Join("t\\u\\uninstall.tmp")));
}

TEST_F(FileOps, CopyIntoDirectoryOverwritesProtectedCopies) {
    ASSERT_TRUE(m_folder.MakeFolder("src"));
    ASSERT_TRUE(m_folder.MakeFolder("dst"));
    ASSERT_TRUE(m_folder.WriteFile("src\\uninstall.exe", "new"));
    for (DWORD attributes : {DWORD(FILE_ATTRIBUTE_READONLY), DWORD(FILE_ATTRIBUTE_HIDDEN),
                             DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM)}) {
        ASSERT_TRUE(m_folder.WriteFile("dst\\uninstall.exe", "old"));
        ::SetFileAttributesA(Join("dst\\uninstall.exe").c_str(), attributes);
        EXPECT_NE(0, CopyIntoDirectory(Join("src"), Join("dst"), "uninstall.exe")) << attributes;
        EXPECT_EQ("new", ReadFileText(Join("dst\\uninstall.exe"))) << attributes;
        ::SetFileAttributesA(Join("dst\\uninstall.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(FileOps, CopyIntoDirectoryWithMissingSourceKeepsTheTargetMadeWritable) {
    ASSERT_TRUE(m_folder.MakeFolder("dst"));
    ASSERT_TRUE(m_folder.WriteFile("dst\\uninstall.exe", "old"));
    ::SetFileAttributesA(Join("dst\\uninstall.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0, CopyIntoDirectory(Join("src"), Join("dst"), "uninstall.exe"));
    EXPECT_EQ("old", ReadFileText(Join("dst\\uninstall.exe")));
    EXPECT_EQ(0u, AttributesOf(Join("dst\\uninstall.exe")) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(FileOps, CopyIntoDirectoryWithTrailingBackslashCopiesToTheSameFile) {
    ASSERT_TRUE(m_folder.MakeFolder("src"));
    ASSERT_TRUE(m_folder.WriteFile("src\\uninstall.tmp", "plan"));
    EXPECT_NE(0, CopyIntoDirectory(Join("src\\"), Join("dst\\"), "uninstall.tmp"));
    EXPECT_EQ("plan", ReadFileText(Join("dst\\uninstall.tmp")));
}

TEST_F(FileOps, ShellDeleteRemovesFilesAndWholeTrees) {
    ASSERT_TRUE(m_folder.MakeFolder("tree"));
    ASSERT_TRUE(m_folder.MakeFolder("tree\\sub folder"));
    ASSERT_TRUE(m_folder.WriteFile("tree\\a.txt", "a"));
    ASSERT_TRUE(m_folder.WriteFile("tree\\sub folder\\b c.chm", "b"));
    ::SetFileAttributesA(Join("tree\\sub folder\\b c.chm").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(m_folder.WriteFile("single.lnk", "s"));

    EXPECT_EQ(1, ShellDelete(Join("tree")));
    EXPECT_FALSE(Exists(Join("tree")));
    EXPECT_EQ(1, ShellDelete(Join("single.lnk")));
    EXPECT_FALSE(Exists(Join("single.lnk")));
    EXPECT_TRUE(IsFolder(m_folder.Path()));
}

TEST_F(FileOps, ShellDeleteOfAMissingPathAnswersZero) {
    EXPECT_EQ(0, ShellDelete(Join("missing")));
    EXPECT_EQ(0, ShellDelete(Join("missing\\file.txt")));
    EXPECT_EQ(0, ShellDelete(""));
}

TEST_F(FileOps, ShellDeleteTakesPathsUpTo258Bytes) {
    // Folders of at most 200 bytes, then file names that make the full paths 258 and 259 bytes.
    std::string folder = m_folder.Path();
    while (folder.size() < 180) {
        folder += "\\" + std::string(std::min<std::size_t>(20, 199 - folder.size()), 'd');
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
    const std::string fits = folder + "\\" + std::string(kMaxDeletionPath - folder.size() - 1, 'f');
    const std::string tooLong = fits + "g";
    ASSERT_EQ(258u, fits.size());
    for (const std::string& path : {fits, tooLong}) {
        CFileHandleOwner file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.IsValid()) << path.size();
    }
    EXPECT_EQ(1, ShellDelete(fits));
    EXPECT_FALSE(Exists(fits));
    EXPECT_EQ(0, ShellDelete(tooLong));
    EXPECT_TRUE(Exists(tooLong));
}

// Forms that Win32 or the shell would read as another file, several files, or a parent folder:
// each must be refused before the shell sees it, which the untouched bystanders show.
TEST_F(FileOps, ShellDeleteRefusesPathsThatCouldReachOtherFiles) {
    ASSERT_TRUE(m_folder.MakeFolder("b"));
    ASSERT_TRUE(m_folder.WriteFile("b\\keep.txt", "keep"));
    ASSERT_TRUE(m_folder.WriteFile("keep2.txt", "keep"));
    const std::string base = m_folder.Path();
    const std::vector<std::string> hostile = {
        base + "\\*",
        base + "\\?",
        base + "\\b\\*.txt",
        base + "\\a\\..\\b",
        base + "\\.\\b",
        base + "\\b.",
        base + "\\b ",
        base + "/b",
        base + "\\none" + std::string(1, '\0') + base + "\\b",   // a second name in the list
        "\\\\?\\" + base + "\\b",
        "b",
        base + "\\b\\keep.txt:stream",
    };
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryA(base.c_str()));   // so that a relative "b" would hit
    for (const std::string& path : hostile) {
        EXPECT_EQ(0, ShellDelete(path)) << path;
        EXPECT_TRUE(Exists(Join("b\\keep.txt"))) << path;
        EXPECT_TRUE(Exists(Join("keep2.txt"))) << path;
    }
    ::SetCurrentDirectoryA(current);
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
    return path;
}

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

// The folders this system lives on. Each is checked with IsSafeToDelete before ShellDelete is
// even tried, so a fault in the rules shows as a failure rather than a wrecked test prefix.
TEST(ShellDeleteGuard, RefusesTheSystemsOwnFolders) {
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string profile = SpecialFolder(CSIDL_PROFILE);
    const std::string programFiles = SpecialFolder(CSIDL_PROGRAM_FILES);

    std::vector<std::string> folders = {
        windows,
        std::string(windows) + "\\",
        system,
        programFiles,
        SpecialFolder(CSIDL_PROGRAM_FILES_COMMON),
        SpecialFolder(CSIDL_COMMON_APPDATA),
        profile,
        profile.substr(0, profile.find_last_of('\\')),
        temp,
        WithoutTrailingBackslash(temp),
        SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY),
        SpecialFolder(CSIDL_DESKTOPDIRECTORY),
        SpecialFolder(CSIDL_COMMON_STARTMENU),
        SpecialFolder(CSIDL_PROGRAMS),
        "C:\\",
        "C:\\users\\Public",
    };
    // The 8.3 spellings, whole and mixed with long names.
    char shortForm[MAX_PATH] = {};
    if (::GetShortPathNameA(programFiles.c_str(), shortForm, MAX_PATH) > 0) {
        folders.push_back(shortForm);
        folders.push_back(std::string(shortForm) + "\\Common Files");
    }
    for (const std::string& folder : folders) {
        ASSERT_FALSE(folder.empty());
        ASSERT_TRUE(IsFolder(folder)) << folder;
        ASSERT_FALSE(IsSafeToDelete(folder)) << folder;
        EXPECT_EQ(0, ShellDelete(folder)) << folder;
        EXPECT_TRUE(IsFolder(folder)) << folder;
    }
}

TEST(ShellDeleteGuard, ProtectedFoldersHoldLongAndShortForms) {
    const CStringList& folders = GetProtectedFolders();
    EXPECT_EQ(&folders, &GetProtectedFolders());
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(1, ContainsNoCase(windows, folders));
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(1, ContainsNoCase(WithoutTrailingBackslash(temp), folders));
    const std::string programFiles = SpecialFolder(CSIDL_PROGRAM_FILES);
    char shortForm[MAX_PATH] = {};
    if (::GetShortPathNameA(programFiles.c_str(), shortForm, MAX_PATH) > 0) {
        EXPECT_EQ(1, ContainsNoCase(shortForm, folders));
    }
}

}  // namespace
