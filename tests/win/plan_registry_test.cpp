// The plan registry cleanup against the registry of the test prefix: a plan file is written,
// read into a plan, and the cleanup runs over its registry entries.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include "app/uninstall_app.h"
#include "plan/uninstall_plan.h"
#include "tests/win/registry_fixture.h"

namespace {
using namespace regtest;

// One test's keys below SOFTWARE\<unique> (32-bit view) and a folder for its plan file.
class PlanRegistryTest : public CScratchKeyTest {
protected:
    PlanRegistryTest() : CScratchKeyTest("plan_registry_test") {}

    // Writes Uninstall.tmp with the given REG values, reads it and runs the cleanup.
    void RunCleanup(const std::vector<std::string>& regValues) {
        std::string plan = "[ETC]\r\n0=C:\\nothing\r\n[REG]\r\n";
        for (std::size_t i = 0; i < regValues.size(); ++i) {
            plan += std::to_string(i) + "=" + regValues[i] + "\r\n";
        }
        ASSERT_TRUE(WriteTextFile(m_folder.Join("Uninstall.tmp"), plan));
        CUninstallPlan loaded(m_folder.Path().c_str());
        ASSERT_EQ(static_cast<int>(regValues.size()), loaded.GetRegistryEntryCount());
        CUninstallApp app;
        app.m_pPlan = &loaded;
        app.CleanPlanRegistry();
        app.m_pPlan = nullptr;
    }

    CDriveFolder m_folder{"plan_registry_test"};
};

TEST_F(PlanRegistryTest, ListedValuesGoAndTheKeyGoesWhenEmptied) {
    ASSERT_TRUE(CreateKey(Key("All"), {{"Path", "p"}, {"Version", "v"}}));
    ASSERT_TRUE(CreateKey(Key("Part"), {{"Path", "p"}, {"Model", "m"}}));
    ASSERT_TRUE(CreateKey(Key("WithChild"), {{"Path", "p"}}));
    ASSERT_TRUE(CreateKey(Key("WithChild\\Child")));
    RunCleanup({Key("All") + ",Path,Version", Key("Part") + ",Path,Missing",
                Key("WithChild") + ",Path"});

    EXPECT_FALSE(KeyExists(Key("All")));
    EXPECT_TRUE(KeyExists(Key("Part")));
    EXPECT_FALSE(ValueExists(Key("Part"), "Path"));
    EXPECT_TRUE(ValueExists(Key("Part"), "Model"));
    EXPECT_FALSE(ValueExists(Key("WithChild"), "Path"));
    EXPECT_TRUE(KeyExists(Key("WithChild\\Child")));
    EXPECT_TRUE(KeyExists(m_base));   // a listed key's parent always stays
}

TEST_F(PlanRegistryTest, EntryWithoutValuesTakesOnlyAnAlreadyEmptyKey) {
    ASSERT_TRUE(CreateKey(Key("Empty")));
    ASSERT_TRUE(CreateKey(Key("Valued"), {{"Keep", "k"}}));
    RunCleanup({Key("Empty"), Key("Valued"), Key("Absent")});
    EXPECT_FALSE(KeyExists(Key("Empty")));
    EXPECT_TRUE(ValueExists(Key("Valued"), "Keep"));
    EXPECT_FALSE(KeyExists(Key("Absent")));   // never created
}

TEST_F(PlanRegistryTest, EntryOrderDecidesHowFarTheChainGoes) {
    struct Case {
        const char* name;
        bool parentFirst;
        bool parentRemains;
    };
    const Case cases[] = {
        {"parent_first", true, true},     // X still holds Y when its entry comes
        {"child_first", false, false},    // Y goes first, then X is empty
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string x = Key(c.name);
        const std::string y = x + "\\Y";
        ASSERT_TRUE(CreateKey(y));
        RunCleanup(c.parentFirst ? std::vector<std::string>{x, y} : std::vector<std::string>{y, x});
        EXPECT_FALSE(KeyExists(y));
        EXPECT_EQ(c.parentRemains, KeyExists(x));
    }
    EXPECT_TRUE(KeyExists(m_base));
}

TEST_F(PlanRegistryTest, ExtraBackslashesDoNotChangeWhichKeyGoes) {
    const std::string cases[] = {
        Key("Trailing\\Y") + "\\",
        m_base + "\\\\Doubled\\Y",
        "\\" + Key("Leading\\Y"),
    };
    for (const std::string& written : cases) {
        SCOPED_TRACE(written);
        // The Y below the key named by the written path, found without the extra backslashes.
        std::string plain;
        for (char ch : written) {
            if (ch == '\\' && (plain.empty() || plain.back() == '\\')) continue;
            plain += ch;
        }
        if (!plain.empty() && plain.back() == '\\') plain.pop_back();
        const std::string parent = plain.substr(0, plain.rfind('\\'));
        ASSERT_TRUE(CreateKey(plain));
        ASSERT_TRUE(CreateKey(parent + "\\Sibling"));
        RunCleanup({written});
        EXPECT_FALSE(KeyExists(plain));
        EXPECT_TRUE(KeyExists(parent + "\\Sibling"));
    }
}

// A key path of exactly the given length: base\<name>, then components of at most 200 bytes.
std::string KeyPathOfLength(const std::string& base, const std::string& name, std::size_t length) {
    std::string path = base + "\\" + name;
    while (path.size() < length) {
        const std::size_t remaining = length - path.size();   // at least 2 after every step
        const std::size_t take = remaining <= 201 ? remaining - 1 : std::min<std::size_t>(200, remaining - 3);
        path += "\\" + std::string(take, 'k');
    }
    return path;
}

TEST_F(PlanRegistryTest, KeyPathsUpTo1023BytesAreServedLongerOnesSkipped) {
    struct Case {
        std::size_t length;
        bool served;
    };
    for (const Case& c : {Case{1023, true}, Case{1024, false}}) {
        SCOPED_TRACE(c.length);
        const std::string path = KeyPathOfLength(m_base, "len" + std::to_string(c.length), c.length);
        ASSERT_EQ(c.length, path.size());
        ASSERT_TRUE(CreateKey(path, {{"V", "v"}}));
        RunCleanup({path + ",V"});
        EXPECT_EQ(c.served, !KeyExists(path));
        if (!c.served) {
            EXPECT_TRUE(ValueExists(path, "V"));
        }
    }
}

TEST_F(PlanRegistryTest, EntriesThatNameNoKeyChangeNothing) {
    ASSERT_TRUE(CreateKey(Key("Canary"), {{"V", "v"}}));
    RunCleanup({"\\\\\\,V"});
    RunCleanup({});
    EXPECT_TRUE(ValueExists(Key("Canary"), "V"));
}

}  // namespace
