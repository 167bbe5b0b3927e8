// Deletion under the Japanese code page: a folder whose name holds a backslash byte as the second
// half of a character is deleted as one folder, and the rules read such names character-wise.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "framework/code_page.h"
#include "sys/deletion_safety.h"
#include "sys/file_ops.h"
#include "tests/portable/test_folder.h"

namespace {

const char kTable[] = "\x95\x5C";    // a character whose second byte is a backslash
const char kSoft[] = "\x83\x5C\x83\x74\x83\x67";   // "soft" in katakana, two such bytes

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class DeletionCp932 : public ::testing::Test {
protected:
    void SetUp() override {
        if (::GetACP() != 932) GTEST_SKIP() << "needs the Japanese locale (code page 932)";
    }
    CTestFolder m_folder;
};

TEST_F(DeletionCp932, FolderNamedWithTrailBackslashIsDeletedWhole) {
    const std::string name = std::string(kSoft) + kTable;
    ASSERT_TRUE(m_folder.MakeFolder(name));
    ASSERT_TRUE(m_folder.WriteFile(name + "\\help.chm", "x"));
    ASSERT_TRUE(m_folder.WriteFile("keep.txt", "keep"));
    EXPECT_TRUE(IsSafeToDelete(m_folder.Join(name)));
    EXPECT_EQ(1, ShellDelete(m_folder.Join(name)));
    EXPECT_FALSE(Exists(m_folder.Join(name)));
    EXPECT_TRUE(Exists(m_folder.Join("keep.txt")));
}

TEST_F(DeletionCp932, RulesReadDoubleByteCharactersWhole) {
    const CStringList guarded = {std::string("C:\\") + kSoft};
    EXPECT_EQ(DeletionVerdict::Protected, JudgeDeletionPath(guarded[0], guarded));
    EXPECT_EQ(DeletionVerdict::Allowed,
              JudgeDeletionPath(guarded[0] + "\\" + kTable, guarded));
    EXPECT_EQ(DeletionVerdict::BadComponent,
              JudgeDeletionPath(std::string("C:\\") + kSoft + "\\..", guarded));
    EXPECT_EQ(DeletionVerdict::BadComponent, JudgeDeletionPath("C:\\Vorda\\\x95", guarded));
}

}  // namespace
