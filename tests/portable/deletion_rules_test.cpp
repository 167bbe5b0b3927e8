// Which paths a recursive deletion accepts: hostile forms are refused with their reason, plain
// paths outside the protected folders pass.
#include <gtest/gtest.h>
#include <string>
#include "framework/code_page.h"
#include "sys/deletion_safety.h"

namespace {

const CStringList kProtected = {
    "C:\\Windows",
    "C:\\Program Files",
    "C:\\Users\\Public\\Desktop",
    "C:\\Temp\\",                 // as GetTempPath gives it, with its backslash
    "\\\\srv\\share\\Guarded",
};

struct CVerdictCase {
    std::string path;
    DeletionVerdict verdict;
};

std::string PathOfLength(std::size_t length) {
    std::string path = "C:\\Vorda\\";
    path += std::string(length - path.size(), 'x');
    return path;
}

const char* NameOf(DeletionVerdict verdict) {
    switch (verdict) {
        case DeletionVerdict::Allowed: return "Allowed";
        case DeletionVerdict::TooLong: return "TooLong";
        case DeletionVerdict::NotFullyQualified: return "NotFullyQualified";
        case DeletionVerdict::Root: return "Root";
        case DeletionVerdict::BadComponent: return "BadComponent";
        case DeletionVerdict::Wildcard: return "Wildcard";
        case DeletionVerdict::Protected: return "Protected";
    }
    return "?";
}

void ExpectVerdicts(const std::vector<CVerdictCase>& cases) {
    for (const CVerdictCase& c : cases) {
        EXPECT_STREQ(NameOf(c.verdict), NameOf(JudgeDeletionPath(c.path, kProtected)))
            << "path: " << c.path;
    }
}

TEST(DeletionRules, RefusesHostilePaths) {
    using V = DeletionVerdict;
    ExpectVerdicts({
        {PathOfLength(kMaxDeletionPath + 1), V::TooLong},
        {"", V::NotFullyQualified},
        {"Temp\\Vorda", V::NotFullyQualified},
        {"\\Windows", V::NotFullyQualified},
        {"C:Windows", V::NotFullyQualified},
        {"C:", V::NotFullyQualified},
        {"1:\\Vorda", V::NotFullyQualified},
        {"\\\\?\\C:\\Windows", V::NotFullyQualified},
        {"\\\\.\\C:\\Vorda", V::NotFullyQualified},
        {"\\??\\C:\\Vorda", V::NotFullyQualified},
        {"\\\\srv", V::NotFullyQualified},
        {"\\\\srv\\", V::NotFullyQualified},
        {"\\\\\\share\\Vorda", V::NotFullyQualified},
        {"C:\\", V::Root},
        {"z:\\", V::Root},
        {"\\\\srv\\share", V::Root},
        {"\\\\srv\\share\\", V::Root},
        {"C:\\\\", V::Root},                       // a run of separators reads as one
        {"\\\\srv\\share\\\\", V::Root},
        {"C:\\\\Windows", V::Protected},
        {"\\\\localhost\\C$\\Windows", V::Protected},  // administrative shares
        {"\\\\srv\\admin$\\Fonts", V::Protected},
        {"C:\\Program Files\\\\", V::Protected},
        {"C:\\Vorda\\\\Manual", V::Allowed},
        {"C:\\Vorda\\Manual\\\\uninstall.exe", V::Allowed},
        {"C:\\Program Files\\..\\Windows", V::BadComponent},
        {"C:\\Program Files\\Vorda\\..", V::BadComponent},
        {"C:\\Program Files\\.", V::BadComponent},
        {"C:\\Windows.", V::BadComponent},
        {"C:\\Windows ", V::BadComponent},
        {"C:\\Program Files.\\Vorda", V::BadComponent},
        {"C:/Windows", V::BadComponent},
        {"C:\\Vorda/Manual", V::BadComponent},
        {"C:\\Vorda\\Manual:stream", V::BadComponent},
        {"C:\\Vorda\\a|b", V::BadComponent},
        {"C:\\Vorda\\Man\tual", V::BadComponent},
        {std::string("C:\\Vorda\\x\0C:\\Windows", 21), V::BadComponent},
        {"C:\\Vorda\\NUL", V::BadComponent},
        {"C:\\Vorda\\com1.txt", V::BadComponent},
        {"C:\\Vorda\\Con .log", V::BadComponent},
        {"C:\\Vorda\\*", V::Wildcard},
        {"C:\\Vorda\\Man?al", V::Wildcard},
        {"C:\\Win*", V::Wildcard},
        {"C:\\Vorda\\<", V::Wildcard},
        {"C:\\Vorda\\a\"b", V::Wildcard},
        {"C:\\Windows", V::Protected},
        {"c:\\WINDOWS", V::Protected},
        {"C:\\Windows\\", V::Protected},
        {"C:\\Program Files", V::Protected},
        {"C:\\Users", V::Protected},
        {"C:\\Users\\Public", V::Protected},
        {"C:\\users\\public\\desktop", V::Protected},
        {"C:\\Temp", V::Protected},
        {"\\\\srv\\share\\Guarded", V::Protected},
        {"\\\\SRV\\Share\\guarded\\", V::Protected},
    });
}

TEST(DeletionRules, AllowsPlainPathsOutsideProtectedFolders) {
    using V = DeletionVerdict;
    ExpectVerdicts({
        {PathOfLength(kMaxDeletionPath), V::Allowed},
        {"C:\\Program Files\\Vorda", V::Allowed},
        {"C:\\Program Files\\Vorda\\", V::Allowed},
        {"C:\\Program Files\\Vorda\\Manual\\help.chm", V::Allowed},
        {"C:\\Users\\Public\\Desktop\\Manual.lnk", V::Allowed},
        {"C:\\Temp\\uninstall.exe", V::Allowed},
        {"D:\\Windows", V::Allowed},
        {"C:\\Windowsx", V::Allowed},
        {"C:\\Vorda\\.hidden", V::Allowed},
        {"C:\\Vorda\\Manual v2.1", V::Allowed},
        {"C:\\Vorda\\CONSOLE", V::Allowed},
        {"C:\\Vorda\\com10", V::Allowed},
        {"\\\\srv\\share\\Other", V::Allowed},
        {"\\\\srv\\share\\Guarded2", V::Allowed},
    });
}

TEST(DeletionRules, EmptyProtectedListStillRefusesRoots) {
    EXPECT_EQ(DeletionVerdict::Allowed, JudgeDeletionPath("C:\\Windows", CStringList()));
    EXPECT_EQ(DeletionVerdict::Root, JudgeDeletionPath("C:\\", CStringList()));
    EXPECT_EQ(DeletionVerdict::Allowed, JudgeDeletionPath("C:\\Windows", CStringList{""}));
}

// Under Shift-JIS a backslash or "|" byte can be the second half of a character; it must
// neither cut a component nor be refused as a character of its own.
class DeletionRulesShiftJis : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        SetNativeCodePage(932);
#endif
        if (!IsLeadByte(0x95)) GTEST_SKIP() << "the ANSI code page is not a double-byte one";
    }
    void TearDown() override {
#ifndef _WIN32
        SetNativeCodePage(1252);
#endif
    }
};

TEST_F(DeletionRulesShiftJis, TrailBytesAreNotSeparatorsOrCharacters) {
    const CStringList guarded = {"C:\\\x95\x5C"};   // a folder named with one character
    using V = DeletionVerdict;
    const std::vector<CVerdictCase> cases = {
        {"C:\\\x95\x5C\\x", V::Allowed},             // inside the guarded folder
        {"C:\\\x95\x5C", V::Protected},
        {"C:\\\x95\x5C\\", V::Protected},
        {"C:\\\x95\x40", V::Allowed},                 // another character
        {"C:\\Vorda\\\x83\x7C", V::Allowed},          // "|" as a trail byte
        {"C:\\Vorda\\\x95", V::BadComponent},         // ends inside a character
        {"C:\\Vorda\\\x95\x5C.", V::BadComponent},
    };
    for (const CVerdictCase& c : cases)
        EXPECT_STREQ(NameOf(c.verdict), NameOf(JudgeDeletionPath(c.path, guarded))) << c.path;
}

}  // namespace
