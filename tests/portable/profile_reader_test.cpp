// The profile reader rules the plan relies on. The same cases run against the native reader and
// against the Windows one, so they also show that both read plan files alike.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "framework/profile_reader.h"
#include "tests/portable/test_folder.h"

namespace {

// Reads through a buffer of the given size that starts filled with '#', so bytes the reader
// leaves unwritten show; returns the buffer's first size - 1 bytes and the reader's result.
std::string ReadRaw(const char* section, const char* key, const char* defaultText,
                    unsigned long size, const std::string& path, unsigned long& result) {
    std::string buffer(size, '#');
    result = ReadProfileString(section, key, defaultText, &buffer[0], size, path.c_str());
    return buffer.substr(0, size - 1);
}

std::string Read(const char* section, const char* key, const char* defaultText,
                 const std::string& path) {
    char buffer[256] = {};
    const unsigned long length = ReadProfileString(section, key, defaultText, buffer, sizeof buffer, path.c_str());
    EXPECT_EQ(length, std::strlen(buffer));
    return buffer;
}

const char kProfile[] =
    "[Values]\r\n"
    " plain = \t hello world \t\r\n"
    "Double=\"quoted\"\r\n"
    "single=  ' in  blanks '  \r\n"
    "mixed=\"x'\r\n"
    "lone=\"\r\n"
    "inner=\"a\" \"b\"\r\n"
    "empty=\r\n"
    "twice=first\r\n"
    "twice=second\r\n"
    "[ Spaced ]\r\n"
    "k=spaced header\r\n"
    "[lf]\n"
    "k=line feeds\n"
    "[NoKeys]\r\n"
    "[Values]\r\n"
    "late=a repeated header does not reopen the section\r\n";

TEST(ProfileReaderTest, ValuesAreTrimmedUnquotedAndFoundWithoutCase) {
    CTestFolder folder;
    ASSERT_TRUE(folder.WriteFile("plan.ini", kProfile));
    const std::string path = folder.Join("plan.ini");
    const struct {
        const char* section;
        const char* key;
        const char* defaultText;
        const char* expected;
    } cases[] = {
        {"Values", "plain", "-", "hello world"},
        {"VALUES", "PLAIN", "-", "hello world"},
        {"Values", "double", "-", "quoted"},
        {"Values", "single", "-", " in  blanks "},
        {"Values", "mixed", "-", "\"x'"},
        {"Values", "lone", "-", "\""},
        {"Values", "inner", "-", "a\" \"b"},
        {"Values", "empty", "-", ""},
        {"Values", "twice", "-", "first"},
        {"Values", "late", "-", "-"},
        {"spaced", "k", "-", "spaced header"},
        {"LF", "k", "-", "line feeds"},
        {"Values", "absent", "fallback", "fallback"},
        {"Values", "absent", "trailing  ", "trailing"},
        {"Values", "absent", nullptr, ""},
        {"Absent", "plain", "??", "??"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.section, c.key, c.defaultText, path), c.expected) << c.section << "/" << c.key;

    EXPECT_EQ(Read("Values", "plain", "missing", folder.Join("absent.ini")), "missing");
}

TEST(ProfileReaderTest, TheFileNameIsFoundWithoutRegardToCase) {
    CTestFolder folder;
    ASSERT_TRUE(folder.WriteFile("uninstall.tmp", "[S]\nk=v\n"));
    EXPECT_EQ(Read("S", "k", "-", folder.Join("Uninstall.tmp")), "v");
}

TEST(ProfileReaderTest, ValuesAndDefaultsAreCutToTheBuffer) {
    CTestFolder folder;
    ASSERT_TRUE(folder.WriteFile("plan.ini", "[S]\nk=hello\n"));
    const std::string path = folder.Join("plan.ini");
    unsigned long result = 0;
    EXPECT_EQ(ReadRaw("S", "k", "-", 4, path, result), std::string("hel"));
    EXPECT_EQ(result, 3u);
    EXPECT_EQ(ReadRaw("S", "absent", "default", 4, path, result), std::string("def"));
    EXPECT_EQ(result, 3u);
}

TEST(ProfileReaderTest, KeyNamesComeInFileOrderAndAreCutToTheBuffer) {
    CTestFolder folder;
    ASSERT_TRUE(folder.WriteFile("plan.ini", "[K]\r\naaaa=1\r\nbbbb=2\r\nCccc = 3\r\n[NoKeys]\r\n"));
    const std::string path = folder.Join("plan.ini");
    using namespace std::string_literals;
    const struct {
        unsigned long size;
        std::string bytes;   // the first size - 1 bytes
        unsigned long result;
    } cases[] = {
        {100, "aaaa\0bbbb\0Cccc\0\0"s + std::string(83, '#'), 15},
        {17, "aaaa\0bbbb\0Cccc\0\0"s, 15},
        // Cut: whole names, then one name cut short with a NUL after it at byte size - 2.
        {16, "aaaa\0bbbb\0Cccc\0"s, 14},
        {13, "aaaa\0bbbb\0C\0"s, 11},
        {12, "aaaa\0bbbb\0\0"s, 10},
        {8, "aaaa\0b\0"s, 6},
    };
    for (const auto& c : cases) {
        unsigned long result = 0;
        EXPECT_EQ(ReadRaw("k", nullptr, "0", c.size, path, result), c.bytes) << c.size;
        EXPECT_EQ(result, c.result) << c.size;
    }

    unsigned long result = 0;
    EXPECT_EQ(ReadRaw("NoKeys", nullptr, "0", 10, path, result), "0\0########"s.substr(0, 9));
    EXPECT_EQ(ReadRaw("Absent", nullptr, "0", 10, path, result), "0\0########"s.substr(0, 9));
    EXPECT_EQ(ReadRaw("K", nullptr, "0", 10, folder.Join("absent.ini"), result), "0\0########"s.substr(0, 9));
    EXPECT_EQ(result, 1u);
}

}  // namespace
