// Under ANSI code page 932: paths whose folder or file names hold double-byte characters with
// the backslash byte as trail byte, on real files, and case-free equality of such names.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "framework/code_page.h"
#include "framework/file_find.h"
#include "plan/uninstall_plan.h"
#include "sys/string_utils.h"
#include "tests/portable/test_folder.h"

namespace {

// "表" and "ソ" end in the backslash byte; "Ａ"/"ａ" are one letter in two cases.
const std::string kHyou = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kFullA = "\x82\x60";
const std::string kFullSmallA = "\x82\x81";

TEST(CodePage932Test, RunsUnderShiftJis) {
    ASSERT_EQ(::GetACP(), 932u);
    EXPECT_TRUE(IsLeadByte(0x95));
    EXPECT_FALSE(IsLeadByte('A'));
}

TEST(CodePage932Test, ATrailByteIsNoSeparator) {
    ASSERT_EQ(::GetACP(), 932u);
    EXPECT_EQ(FindLastBackslash("C:\\" + kHyou), 2u);
    EXPECT_EQ(FindLastBackslash("C:\\" + kHyou + "\\" + kSo), 5u);
    EXPECT_EQ(FindLastBackslash(kHyou + kSo), std::string::npos);
}

TEST(CodePage932Test, EqualityFoldsCasePerCharacter) {
    ASSERT_EQ(::GetACP(), 932u);
    EXPECT_TRUE(EqualNoCase("A" + kHyou + "b", "a" + kHyou + "B"));
    EXPECT_TRUE(EqualNoCase(kFullA + ".txt", kFullSmallA + ".TXT"));
    EXPECT_FALSE(EqualNoCase("\x83\x61", "\x83\x41"));   // two characters, not two cases
    EXPECT_FALSE(EqualNoCase(kHyou, kSo));
    EXPECT_EQ(ContainsNoCase(kSo + "README.TXT", {"x", kSo + "readme.txt"}), 1);
    EXPECT_EQ(ContainsNoCase(kHyou, {kSo}), 0);
}

TEST(CodePage932Test, FilesInAFolderWhoseNameEndsInTheBackslashByte) {
    ASSERT_EQ(::GetACP(), 932u);
    CTestFolder folder;
    ASSERT_TRUE(folder.MakeFolder(kHyou));
    ASSERT_TRUE(folder.WriteFile(kHyou + "\\Readme.txt", ""));
    ASSERT_TRUE(folder.WriteFile(kHyou + "\\" + kSo, ""));
    ASSERT_TRUE(folder.WriteFile(kFullA, ""));
    const struct {
        std::string path;
        int exists;
    } cases[] = {
        {folder.Join(kHyou + "\\README.TXT"), 1},
        {folder.Join(kHyou + "\\" + kSo), 1},
        {folder.Join(kFullSmallA), 1},
        {folder.Join(kHyou), 0},                          // a folder
        {folder.Join(kSo), 0},
        {folder.Join(kHyou + "\\" + kHyou), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(FileExists(c.path), c.exists) << c.path;

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(folder.Join(kHyou + "\\" + kSo)));
    EXPECT_EQ(finder.GetFileName(), kSo);
    EXPECT_EQ(finder.GetFilePath(), folder.Join(kHyou + "\\" + kSo));
}

TEST(CodePage932Test, APlanInAFolderWithDoubleByteNames) {
    ASSERT_EQ(::GetACP(), 932u);
    CTestFolder folder;
    ASSERT_TRUE(folder.MakeFolder(kHyou));
    ASSERT_TRUE(folder.WriteFile(kHyou + "\\uninstall.tmp",
                                 "[ETC]\r\n0=C:\\" + kHyou + "\\" + kSo + "\r\n"
                                 "[Message]\r\n0=t\r\n1=" + kSo + "\r\n"));
    const CUninstallPlan plan(folder.Join(kHyou).c_str());
    EXPECT_EQ(plan.GetRemovalList(), (CStringList{"C:\\" + kHyou + "\\" + kSo}));
    EXPECT_EQ(plan.GetConfirmText(), kSo);
}

}  // namespace
