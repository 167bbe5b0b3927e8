// Start-up under code page 932: a double-byte character whose second byte is 0x5C (the
// backslash byte) never splits a path, neither when the application directory is taken from
// the program path nor when a file name is joined to a folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "app/uninstall_app.h"

namespace {

// "表" and "ソ" in Shift-JIS: both end in the byte 0x5C.
const std::string kHyou = "\x95\x5c";
const std::string kSo = "\x83\x5c";

class Cp932Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (::GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page, running at " << ::GetACP();
    }
};

TEST_F(Cp932Test, AppDirectoryKeepsTheWholeFolderName) {
    const struct {
        std::string helpPath;
        std::string directory;
    } cases[] = {
        {"C:\\" + kHyou + "\\uninstall.HLP", "C:\\" + kHyou},
        {"C:\\Manual " + kSo + kHyou + "\\uninstall.HLP", "C:\\Manual " + kSo + kHyou},
        // A program file whose own name ends in such a character.
        {"C:\\" + kHyou + "\\" + kSo + ".HLP", "C:\\" + kHyou},
        {"C:\\a\\" + kHyou + kHyou + ".HLP", "C:\\a"},
    };
    for (const auto& c : cases) {
        CUninstallApp app;
        app.m_pszHelpFilePath = c.helpPath.c_str();
        EXPECT_EQ(app.LoadPlan(), 0);
        EXPECT_EQ(GetAppDirectory(), c.directory) << c.helpPath;
    }
}

TEST_F(Cp932Test, JoinPathAddsTheSeparatorAfterATrailByte) {
    std::string result;
    CUninstallApp::JoinPath(("C:\\" + kHyou).c_str(), "uninstall.tmp", result);
    EXPECT_EQ(result, "C:\\" + kHyou + "\\uninstall.tmp");
    CUninstallApp::JoinPath(("C:\\" + kHyou + "\\").c_str(), "uninstall.tmp", result);
    EXPECT_EQ(result, "C:\\" + kHyou + "\\uninstall.tmp");
}

TEST_F(Cp932Test, TheProgramNameIsSkippedWhole) {
    std::string line = "\"C:\\" + kHyou + "\\uninstall.exe\" uninstall";
    EXPECT_STREQ(SkipProgramName(line.c_str()), "uninstall");
    line = "C:\\" + kSo + "\\uninstall.exe  uninstall";
    EXPECT_STREQ(SkipProgramName(line.c_str()), "uninstall");
}

}  // namespace
