// The registry key wrapper against the real registry of the test prefix: opening, the count
// snapshot, value and empty-subkey deletion, closing, and the registry view it works in.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "sys/registry_key.h"
#include "tests/win/registry_fixture.h"

namespace {
using namespace regtest;

class RegistryKeyTest : public CScratchKeyTest {
protected:
    RegistryKeyTest() : CScratchKeyTest("registry_key_test") {}
};

TEST_F(RegistryKeyTest, MissingKeyStaysClosedWithCountZero) {
    const std::string path = Key("absent");
    CRegistryKey key(HKEY_LOCAL_MACHINE, path.c_str(), KEY_ALL_ACCESS);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open());
    EXPECT_EQ(0u, key.m_dwSubKeyCount);
    EXPECT_EQ(0, key.Close());
    // A closed key deletes nothing, whatever it is asked.
    EXPECT_NE(ERROR_SUCCESS, key.DeleteValue("V"));
    EXPECT_EQ(-1, key.DeleteSubkeyIfEmpty("child"));
}

TEST_F(RegistryKeyTest, CountsAreASnapshotOfTheOpen) {
    ASSERT_TRUE(CreateKey(m_base, {{"V1", "1"}, {"V2", "2"}}));
    for (const char* child : {"A", "B", "C"}) ASSERT_TRUE(CreateKey(Key(child)));

    CRegistryKey key(HKEY_LOCAL_MACHINE, m_base.c_str(), KEY_ALL_ACCESS);
    ASSERT_EQ(ERROR_SUCCESS, key.Open());
    EXPECT_EQ(3u, key.m_dwSubKeyCount);
    EXPECT_FALSE(key.IsEmpty());

    EXPECT_EQ(0, key.DeleteSubkeyIfEmpty("A"));
    EXPECT_FALSE(KeyExists(Key("A")));
    EXPECT_EQ(3u, key.m_dwSubKeyCount);

    EXPECT_EQ(ERROR_SUCCESS, key.DeleteValue("V1"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.DeleteValue("V1"));
    EXPECT_FALSE(ValueExists(m_base, "V1"));
    EXPECT_TRUE(ValueExists(m_base, "V2"));
    EXPECT_EQ(ERROR_SUCCESS, key.Close());
    EXPECT_EQ(0, key.Close());
}

TEST_F(RegistryKeyTest, EmptyKeyIsEmpty) {
    ASSERT_TRUE(CreateKey(m_base));
    CRegistryKey key(HKEY_LOCAL_MACHINE, m_base.c_str(), KEY_ALL_ACCESS);
    ASSERT_EQ(ERROR_SUCCESS, key.Open());
    EXPECT_TRUE(key.IsEmpty());
    EXPECT_EQ(0u, key.m_dwSubKeyCount);
}

TEST_F(RegistryKeyTest, DeleteSubkeyIfEmptyTakesOnlyAnEmptyChild) {
    struct Case {
        const char* name;
        bool create;
        bool withValue;
        bool withSubkey;
        LONG expected;
        bool remains;
    };
    const Case cases[] = {
        {"with_values", true, true, false, -1, true},
        {"with_subkey", true, false, true, -1, true},
        {"empty", true, false, false, 0, false},
        {"missing", false, false, false, -1, false},
        {"", false, false, false, -1, true},   // would name the parent itself
    };
    ASSERT_TRUE(CreateKey(m_base, {{"ParentValue", "p"}}));
    ASSERT_TRUE(CreateKey(Key("sibling")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string child = Key(c.name);
        if (c.create) {
            if (c.withValue) {
                ASSERT_TRUE(CreateKey(child, {{"V", "v"}}));
            } else {
                ASSERT_TRUE(CreateKey(child));
            }
            if (c.withSubkey) {
                ASSERT_TRUE(CreateKey(child + "\\deeper"));
            }
        }
        CRegistryKey parent(HKEY_LOCAL_MACHINE, m_base.c_str(), KEY_ALL_ACCESS);
        ASSERT_EQ(ERROR_SUCCESS, parent.Open());
        EXPECT_EQ(c.expected, parent.DeleteSubkeyIfEmpty(c.name));
        parent.Close();

        EXPECT_EQ(c.remains, KeyExists(child));
        if (c.withValue) {
            EXPECT_TRUE(ValueExists(child, "V"));
        }
        if (c.withSubkey) {
            EXPECT_TRUE(KeyExists(child + "\\deeper"));
        }
        EXPECT_TRUE(KeyExists(m_base));
        EXPECT_TRUE(ValueExists(m_base, "ParentValue"));
        EXPECT_TRUE(KeyExists(Key("sibling")));
    }
}

// A freshly closed handle value is handed out again by the next open; a key that is still open
// keeps its value. That is how the test sees whether the destructor closed the key.
HKEY OpenAndCloseRaw(const std::string& path) {
    HKEY key = nullptr;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_READ | kView32, &key);
    ::RegCloseKey(key);
    return key;
}

TEST_F(RegistryKeyTest, DestructorClosesAnOpenKey) {
    ASSERT_TRUE(CreateKey(m_base));
    const HKEY freed = OpenAndCloseRaw(m_base);
    if (freed == nullptr || OpenAndCloseRaw(m_base) != freed) {
        GTEST_SKIP() << "this system does not reuse freed registry handles";
    }

    bool wasOpen = false;
    {
        CRegistryKey key(HKEY_LOCAL_MACHINE, m_base.c_str(), KEY_ALL_ACCESS);
        wasOpen = key.Open() == ERROR_SUCCESS;
        // While the key holds the freed value, a raw open must get another one.
        HKEY other = nullptr;
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(m_base).c_str(), 0, KEY_READ | kView32, &other);
        EXPECT_NE(freed, other);
        ::RegCloseKey(other);
    }
    ASSERT_TRUE(wasOpen);
    EXPECT_EQ(freed, OpenAndCloseRaw(m_base));

    {
        CRegistryKey neverOpened(HKEY_LOCAL_MACHINE, m_base.c_str(), KEY_ALL_ACCESS);
    }
    EXPECT_EQ(freed, OpenAndCloseRaw(m_base));
}

TEST_F(RegistryKeyTest, WorksInTheThirtyTwoBitView) {
    // The 64-bit test build must reach the keys the shipped 32-bit program sees: those below
    // SOFTWARE\Wow6432Node in the 64-bit view.
    const std::string only64 = Key("only64");
    const std::string as64 = "SOFTWARE\\Wow6432Node\\" + m_base.substr(9) + "\\in32";
    HKEY made = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, as64.c_str(), 0, nullptr, 0,
                                               KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &made,
                                               nullptr));
    ::RegCloseKey(made);
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, only64.c_str(), 0, nullptr, 0,
                                               KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &made,
                                               nullptr));
    ::RegCloseKey(made);

    const std::string in32 = Key("in32");
    CRegistryKey seen(HKEY_LOCAL_MACHINE, in32.c_str(), KEY_ALL_ACCESS);
    EXPECT_EQ(ERROR_SUCCESS, seen.Open());
    seen.Close();
    CRegistryKey unseen(HKEY_LOCAL_MACHINE, only64.c_str(), KEY_ALL_ACCESS);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, unseen.Open());

    // The child that DeleteSubkeyIfEmpty tests lies in the same view as its parent.
    CRegistryKey parent(HKEY_LOCAL_MACHINE, m_base.c_str(), KEY_ALL_ACCESS);
    ASSERT_EQ(ERROR_SUCCESS, parent.Open());
    EXPECT_EQ(0, parent.DeleteSubkeyIfEmpty("in32"));
    EXPECT_FALSE(KeyExists(as64, KEY_WOW64_64KEY));
    parent.Close();

    DeleteTree(only64, KEY_WOW64_64KEY);
    DeleteTree(m_base, KEY_WOW64_64KEY);
}

}  // namespace
