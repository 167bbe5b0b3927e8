// Text rules of the code page: the separating backslash and case-free equality. Natively the
// Shift-JIS rules are checked too, on texts and on a real folder whose name ends in a
// double-byte character with the backslash byte as its trail byte.
#include <gtest/gtest.h>
#include <string>
#include "framework/code_page.h"
#include "sys/string_utils.h"
#include "tests/portable/test_folder.h"

namespace {

// "表" and "ソ" in Shift-JIS: both end in the backslash byte.
const std::string kHyou = "\x95\x5C";
const std::string kSo = "\x83\x5C";

TEST(CodePageTest, LastBackslashAndCaseInTheDefaultCodePage) {
    EXPECT_EQ(FindLastBackslash("C:\\a\\b"), 4u);
    EXPECT_EQ(FindLastBackslash("C:\\a\\"), 4u);
    EXPECT_EQ(FindLastBackslash("name"), std::string::npos);
    EXPECT_EQ(FindLastBackslash(""), std::string::npos);
    EXPECT_TRUE(EqualNoCase("Setup.EXE", "setup.exe"));
    EXPECT_TRUE(EqualNoCase("", ""));
    EXPECT_FALSE(EqualNoCase("setup.exe", "setup.ex"));
    EXPECT_FALSE(EqualNoCase("a", ""));
    EXPECT_FALSE(EqualNoCase("[", "{"));   // not letters: no folding
}

#ifndef _WIN32
class CShiftJisTest : public ::testing::Test {
protected:
    void SetUp() override { SetNativeCodePage(932); }
    void TearDown() override { SetNativeCodePage(1252); }
};

TEST_F(CShiftJisTest, ATrailByteIsNoSeparator) {
    const struct {
        std::string text;
        std::size_t last;
    } cases[] = {
        {"C:\\" + kHyou, 2},
        {"C:\\" + kHyou + "\\x", 5},
        {kHyou + kSo, std::string::npos},
        {"\x95", std::string::npos},                       // a lead byte at the end
        {"a\\\x95", 1},
        {"\x5C" + kHyou + "\x5C", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(FindLastBackslash(c.text), c.last) << c.text;
}

TEST_F(CShiftJisTest, DoubleByteCharactersCompareAsUnits) {
    EXPECT_TRUE(EqualNoCase("A" + kHyou + "b", "a" + kHyou + "B"));
    // Trail bytes 'a' and 'A' belong to two different characters.
    EXPECT_FALSE(EqualNoCase("\x83\x61", "\x83\x41"));
    EXPECT_FALSE(EqualNoCase(kHyou, kSo));
    EXPECT_EQ(ContainsNoCase(kSo + ".TXT", {"a", kSo + ".txt"}), 1);
    EXPECT_TRUE(IsLeadByte(0x81) && IsLeadByte(0x9F) && IsLeadByte(0xE0) && IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0x80) || IsLeadByte(0xA0) || IsLeadByte(0xDF) || IsLeadByte(0xFD) || IsLeadByte('A'));
}

TEST_F(CShiftJisTest, FilesInAFolderWhoseNameEndsInTheBackslashByte) {
    CTestFolder folder;
    ASSERT_TRUE(folder.MakeFolder(kHyou));
    ASSERT_TRUE(folder.WriteFile(kHyou + "\\Readme.txt", ""));
    ASSERT_TRUE(folder.WriteFile(kSo, ""));
    EXPECT_EQ(FileExists(folder.Join(kHyou + "\\README.TXT")), 1);
    EXPECT_EQ(FileExists(folder.Join(kSo)), 1);
    EXPECT_EQ(FileExists(folder.Join(kHyou)), 0);   // a folder
    EXPECT_EQ(FileExists(folder.Join(kHyou + "\\" + kSo)), 0);
}
#endif

}  // namespace
