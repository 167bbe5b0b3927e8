// Splitting, case-free membership, sorting, folder listing, file existence and key-path
// shortening, on texts of the default code page and on real fixture folders.
#include <gtest/gtest.h>
#include <string>
#include "sys/string_utils.h"
#include "tests/portable/test_folder.h"

namespace {

struct CSplitCase {
    const char* label;
    std::string text;
    const char* delimiters;
    CStringList before;
    int appended;
    CStringList after;
};

TEST(SplitTokensTest, AppendsTheTokensBetweenDelimiterRuns) {
    const CSplitCase cases[] = {
        {"blanks around and between words", " uninstall  extra ", " ", {}, 2, {"uninstall", "extra"}},
        {"empty text", "", ",", {}, 0, {}},
        {"only delimiters", ",,,", ",", {}, 0, {}},
        {"appends to what the list holds", "x,y", ",", {"a", "b", "c"}, 2, {"a", "b", "c", "x", "y"}},
        {"tokens keep their blanks", "a, b ,c", ",", {}, 3, {"a", " b ", "c"}},
        {"every byte of the set delimits", "a,b;c", ",;", {}, 3, {"a", "b", "c"}},
        {"a double-byte character is split byte by byte", "\x95\x5Cx", "\\", {}, 2, {"\x95", "x"}},
        {"bytes above 0x7F are plain bytes", "\xE9t\xE9,\xFF", ",", {}, 2, {"\xE9t\xE9", "\xFF"}},
    };
    for (const CSplitCase& c : cases) {
        CStringList list = c.before;
        EXPECT_EQ(SplitTokens(c.text, list, c.delimiters), c.appended) << c.label;
        EXPECT_EQ(list, c.after) << c.label;
    }
}

TEST(SplitTokensTest, CommaFormAndLongTextsAreTakenWhole) {
    CStringList list;
    EXPECT_EQ(SplitTokens("a,,b", list), 2);
    EXPECT_EQ(list, (CStringList{"a", "b"}));

    // A text far beyond any fixed buffer: no token is lost or cut.
    std::string text;
    CStringList expected;
    for (int i = 0; i < 3000; ++i) {
        expected.push_back("token" + std::to_string(i));
        text += expected.back() + ",";
    }
    list.clear();
    EXPECT_EQ(SplitTokens(text, list), static_cast<int>(expected.size()));
    EXPECT_EQ(list, expected);
}

TEST(ContainsNoCaseTest, FindsAStringOfEitherCase) {
    EXPECT_EQ(ContainsNoCase("README.TXT", {"readme.txt"}), 1);
    EXPECT_EQ(ContainsNoCase("readme.txt", {"a", "ReadMe.Txt"}), 1);
    EXPECT_EQ(ContainsNoCase("README.TXT", {"readme.tx", "readme.txt.bak"}), 0);
    EXPECT_EQ(ContainsNoCase("x", {}), 0);
    EXPECT_EQ(ContainsNoCase("", {"a"}), 0);
}

TEST(SortStringsTest, OrdersByUnsignedBytesWithPrefixesFirst) {
    const struct {
        CStringList input;
        CStringList sorted;
    } cases[] = {
        {{"b", "B", "a", "ab"}, {"B", "a", "ab", "b"}},
        {{"abc", "ab", "a", ""}, {"", "a", "ab", "abc"}},
        {{"\x82\xA0", "z", "\xE9"}, {"z", "\x82\xA0", "\xE9"}},
        {{"b", "a", "b", "a"}, {"a", "a", "b", "b"}},
        {{"only"}, {"only"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        CStringList list = c.input;
        SortStrings(list);
        EXPECT_EQ(list, c.sorted);
    }
}

TEST(ParentKeyPathTest, DropsTheLastComponent) {
    const struct {
        const char* path;
        const char* parent;
    } cases[] = {
        {"SOFTWARE\\A\\B", "SOFTWARE\\A"},
        {"SOFTWARE", ""},
        {"SOFTWARE\\\\A\\B\\", "SOFTWARE\\A"},
        {"\\A\\B", "A"},
        {"", ""},
        {"\\\\\\", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ParentKeyPath(c.path), c.parent) << c.path;
}

// A folder with files of mixed case, a subfolder and a file inside it.
class CListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.WriteFile("Readme.TXT", "x"));
        ASSERT_TRUE(m_folder.WriteFile("b.txt", ""));
        ASSERT_TRUE(m_folder.WriteFile("c.log", ""));
        ASSERT_TRUE(m_folder.MakeFolder("sub"));
        ASSERT_TRUE(m_folder.WriteFile("sub\\inner.txt", ""));
    }
    CTestFolder m_folder;
};

TEST_F(CListingTest, ListFilesAppendsMatchingFilesAndSortsTheWholeList) {
    CStringList list = {"zz", "A"};
    EXPECT_EQ(ListFiles(m_folder.Join("*"), list), 5);
    EXPECT_EQ(list, (CStringList{"A", "Readme.TXT", "b.txt", "c.log", "zz"}));

    list.clear();
    EXPECT_EQ(ListFiles(m_folder.Join("*.txt"), list), 2);   // wildcards ignore case
    EXPECT_EQ(list, (CStringList{"Readme.TXT", "b.txt"}));

    list.clear();
    EXPECT_EQ(ListFiles(m_folder.Join("?.*"), list), 2);
    EXPECT_EQ(list, (CStringList{"b.txt", "c.log"}));

    list = {"b", "a"};
    EXPECT_EQ(ListFiles(m_folder.Join("nothing*"), list), 2);
    EXPECT_EQ(list, (CStringList{"a", "b"}));

    list.clear();
    EXPECT_EQ(ListFiles(m_folder.Join("missing\\*"), list), 0);
}

TEST_F(CListingTest, FileExistsOnlyForFilesFoundByTheirFolder) {
    const struct {
        std::string path;
        int exists;
    } cases[] = {
        {m_folder.Join("Readme.TXT"), 1},
        {m_folder.Join("README.txt"), 1},
        {m_folder.Join("sub\\inner.txt"), 1},
        {m_folder.Join("sub"), 0},
        {m_folder.Join("sub\\"), 0},
        {m_folder.Join("missing.txt"), 0},
        {m_folder.Join("missing\\Readme.TXT"), 0},
        {m_folder.Join("*"), 0},
        {m_folder.Join("Readme.*"), 0},
        {m_folder.Join("."), 0},
        {"Readme.TXT", 0},
        {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(FileExists(c.path), c.exists) << c.path;
}

}  // namespace
