// Reading the uninstall plan: the whole example plan, the edge cases of each section, the
// key-name and value buffers, and the registry entry rules.
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>
#include "plan/read_section_keys.h"
#include "plan/uninstall_plan.h"
#include "tests/portable/test_folder.h"

namespace {

using CShortcutList = std::vector<std::pair<std::string, std::string>>;   // key, shortcut name
using CEntryList = std::vector<CStringList>;

// Everything a plan holds, in a form tests can compare as a whole.
struct CPlanSummary {
    std::string viewerFolder, viewerInfo, viewerRegKey;
    std::string confirmText, progressText, warningText;
    CShortcutList shortcuts;
    CStringList removalList;
    CEntryList registryEntries;

    bool operator==(const CPlanSummary& o) const {
        return viewerFolder == o.viewerFolder && viewerInfo == o.viewerInfo &&
               viewerRegKey == o.viewerRegKey && confirmText == o.confirmText &&
               progressText == o.progressText && warningText == o.warningText &&
               shortcuts == o.shortcuts && removalList == o.removalList &&
               registryEntries == o.registryEntries;
    }
};

std::string Join(const CStringList& list) {
    std::string text;
    for (const std::string& s : list) text += "[" + s + "]";
    return text;
}

void PrintTo(const CPlanSummary& s, std::ostream* os) {
    *os << "viewer " << s.viewerFolder << " | " << s.viewerInfo << " | " << s.viewerRegKey
        << "\ntexts [" << s.confirmText << "][" << s.progressText << "][" << s.warningText
        << "]\nshortcuts ";
    for (const auto& sc : s.shortcuts) *os << "[" << sc.first << "=" << sc.second << "]";
    *os << "\nremoval " << Join(s.removalList) << "\nregistry ";
    for (const CStringList& e : s.registryEntries) *os << "{" << Join(e) << "}";
}

CPlanSummary Summarize(const CUninstallPlan& plan) {
    CPlanSummary s;
    s.viewerFolder = plan.GetViewerFolder();
    s.viewerInfo = plan.GetViewerInfo();
    s.viewerRegKey = plan.GetViewerRegKey();
    s.confirmText = plan.GetConfirmText();
    s.progressText = plan.GetProgressText();
    s.warningText = plan.GetWarningText();
    for (int i = 0; i < plan.GetShortcutCount(); ++i)
        s.shortcuts.emplace_back(plan.GetShortcut(i).GetKey(), plan.GetShortcut(i).GetShortcutName());
    s.removalList = plan.GetRemovalList();
    for (int i = 0; i < plan.GetRegistryEntryCount(); ++i)
        s.registryEntries.push_back(plan.GetRegistryEntry(i));
    return s;
}

const char kExamplePlan[] =
    "[BLFPath]\r\n"
    "path=C:\\Program Files\\Vorda\\Brightleaf\r\n"
    "info=QD100\r\n"
    "reg=SOFTWARE\\VORDA\\Quilldeck\\Brightleaf\\Manuals\r\n"
    "[MANUALS]\r\n"
    "QD100=QD100,QD100 Manual\r\n"
    "[DESKSC]\r\n"
    "QD100=QD100 Manual\r\n"
    "[STARTSC]\r\n"
    "0=Quilldeck\r\n"
    "[ETC]\r\n"
    "0=C:\\Program Files\\Vorda\\Quilldeck\\QD100\\html\r\n"
    "1=C:\\Program Files\\Vorda\\Quilldeck\\QD100\r\n"
    "[Message]\r\n"
    "0=QD100 uninstaller\r\n"
    "1=Remove the on-screen manual?\r\n"
    "2=Removing the manual...\r\n"
    "3=Close the manual, then start the uninstaller again.\r\n"
    "[REG]\r\n"
    "0=SOFTWARE\\VORDA\\Quilldeck\\QD100,Path,Version\r\n"
    "1=SOFTWARE\\VORDA\\Quilldeck\\QD100,Path,Model\r\n"
    "2=SOFTWARE\\VORDA\\Quilldeck\r\n";

TEST(UninstallPlanTest, ReadsTheExamplePlan) {
    CTestFolder folder;
    ASSERT_TRUE(folder.WriteFile("Uninstall.tmp", kExamplePlan));
    const CUninstallPlan plan(folder.Path().c_str());

    EXPECT_EQ(plan.GetDirectory(), folder.Path());
    EXPECT_EQ(plan.GetPlanFileName(), "Uninstall.tmp");
    EXPECT_EQ(plan.GetPlanPath(), folder.Path() + "\\Uninstall.tmp");
    CPlanSummary expected;
    expected.viewerFolder = "C:\\Program Files\\Vorda\\Brightleaf";
    expected.viewerInfo = "QD100";
    expected.viewerRegKey = "SOFTWARE\\VORDA\\Quilldeck\\Brightleaf\\Manuals";
    expected.shortcuts = {{"QD100", "QD100 Manual"}};
    expected.removalList = {"C:\\Program Files\\Vorda\\Quilldeck\\QD100\\html",
                            "C:\\Program Files\\Vorda\\Quilldeck\\QD100"};
    expected.confirmText = "Remove the on-screen manual?";
    expected.progressText = "Removing the manual...";
    expected.warningText = "Close the manual, then start the uninstaller again.";
    expected.registryEntries = {{"SOFTWARE\\VORDA\\Quilldeck\\QD100", "Path", "Version", "Model"},
                                {"SOFTWARE\\VORDA\\Quilldeck"}};
    EXPECT_EQ(Summarize(plan), expected);
}

TEST(UninstallPlanTest, WithoutAPlanFileThePlanStaysEmpty) {
    CTestFolder folder;
    ASSERT_TRUE(folder.MakeFolder("Uninstall.tmp"));   // a folder is no plan file
    const CUninstallPlan plan(folder.Path().c_str());
    EXPECT_EQ(plan.GetPlanPath(), folder.Path() + "\\Uninstall.tmp");
    EXPECT_EQ(Summarize(plan), CPlanSummary());

    const CUninstallPlan missing(folder.Join("absent").c_str());
    EXPECT_EQ(Summarize(missing), CPlanSummary());
}

TEST(UninstallPlanTest, APlanHoldingANulByteIsNotRead) {
    // The reader would end the value at the NUL and name C:\data instead of C:\data\a.txt.
    const std::string withNul = std::string("[ETC]\r\n0=C:\\data") + '\0' +
                                "\\a.txt\r\n1=C:\\Manual\r\n[MANUALS]\r\nQ=Q,Other\r\n";
    CTestFolder folder;
    ASSERT_TRUE(folder.WriteFile("Uninstall.tmp", withNul));
    const CUninstallPlan plan(folder.Path().c_str());
    EXPECT_EQ(Summarize(plan), CPlanSummary());
}

TEST(UninstallPlanTest, AnEmptyOrNullDirectoryMeansTheRootOfTheCurrentDrive) {
    for (const char* directory : {"", static_cast<const char*>(nullptr)}) {
        const CUninstallPlan plan(directory);
        EXPECT_EQ(plan.GetDirectory(), "");
        EXPECT_EQ(plan.GetPlanPath(), "\\Uninstall.tmp");
    }
}

struct CPlanCase {
    const char* label;
    std::string file;
    CPlanSummary expected;
};

CPlanSummary WithRemovals(CStringList list) {
    CPlanSummary s;
    s.removalList = std::move(list);
    return s;
}
CPlanSummary WithShortcuts(CShortcutList list) {
    CPlanSummary s;
    s.shortcuts = std::move(list);
    return s;
}
CPlanSummary WithEntries(CEntryList list) {
    CPlanSummary s;
    s.registryEntries = std::move(list);
    return s;
}
CPlanSummary WithTexts(std::string confirm, std::string progress, std::string warning) {
    CPlanSummary s;
    s.confirmText = std::move(confirm);
    s.progressText = std::move(progress);
    s.warningText = std::move(warning);
    return s;
}

TEST(UninstallPlanTest, SectionEdgeCases) {
    const CPlanCase cases[] = {
        {"a section header in another case", "[etc]\n0=C:\\A\n", WithRemovals({"C:\\A"})},
        {"empty values count, ?? is absent, repeats stay",
         "[ETC]\n0=\n1=??\n2=C:\\B\n3=C:\\B\n", WithRemovals({"", "C:\\B", "C:\\B"})},
        {"quotes and blanks around a value", "[ETC]\n0= \"C:\\A B\" \n", WithRemovals({"C:\\A B"})},
        {"a key name with a comma is two names, each looked up alone",
         "[ETC]\na=1\nb=2\nc,d=3\nc=4\n", WithRemovals({"1", "2", "4", "4"})},
        {"a section without keys adds nothing", "[ETC]\n[REG]\n", CPlanSummary()},
        {"shortcut names are the second non-empty element, untrimmed",
         "[MANUALS]\nm1=a,b\nm2=a,b,c\nm3=a,,b\nm4=a\nm5=,b\nm6=a, b\nm7=\nm8=??\n",
         WithShortcuts({{"m1", "b"}, {"m2", "b"}, {"m3", "b"}, {"m4", ""}, {"m5", ""}, {"m6", " b"}, {"m7", ""}})},
        {"registry entries merge by exact key path",
         "[REG]\n0=SOFTWARE\\X,V1\n1=SOFTWARE\\X,V1,V2\n2=SOFTWARE\\x,V3\n3=SOFTWARE\\Y,SOFTWARE\\Y\n"
         "4=??\n5=\n6=,,\n",
         WithEntries({{"SOFTWARE\\X", "V1", "V2"}, {"SOFTWARE\\x", "V3"}, {"SOFTWARE\\Y"}})},
        {"four message keys: the second to the fourth, a fifth ignored",
         "[Message]\n0=Title\n1=Confirm\n2=\n3=Warn\n4=Extra\n", WithTexts("Confirm", "", "Warn")},
        {"two message keys: only the confirmation", "[Message]\n0=Title\n1=Confirm\n",
         WithTexts("Confirm", "", "")},
        {"message texts are kept as read, ?? included",
         "[Message]\n0=Title\n1=??\n2=P\n3=W\n", WithTexts("??", "P", "W")},
        {"a message key that names nothing reads as ??",
         "[Message]\n0=Title\n1,x=C\n2=P\n", WithTexts("??", "??", "P")},
        {"no sections at all", "just text\n", CPlanSummary()},
    };
    for (const CPlanCase& c : cases) {
        CTestFolder folder;
        ASSERT_TRUE(folder.WriteFile("uninstall.tmp", c.file));   // found under either case
        const CUninstallPlan plan(folder.Path().c_str());
        EXPECT_EQ(Summarize(plan), c.expected) << c.label;
    }
}

TEST(UninstallPlanTest, AValueCountsUpToTheValueBuffer) {
    CTestFolder folder;
    const std::string longValue(kPlanValueBufferSize + 500, 'v');
    ASSERT_TRUE(folder.WriteFile("Uninstall.tmp", "[ETC]\n0=" + longValue + "\n"));
    const CUninstallPlan plan(folder.Path().c_str());
    ASSERT_EQ(plan.GetRemovalList().size(), 1u);
    EXPECT_EQ(plan.GetRemovalList()[0], longValue.substr(0, kPlanValueBufferSize - 1));
}

TEST(ReadSectionKeysTest, AbsentOrEmptySectionsGiveTheNameZero) {
    CTestFolder folder;
    ASSERT_TRUE(folder.WriteFile("plan.ini", "[Names]\na=1\nb=2\nc,d=3\n[Empty]\n"));
    const std::string path = folder.Join("plan.ini");
    const struct {
        const char* section;
        std::string path;
        CStringList before;
        CStringList after;
    } cases[] = {
        {"Names", path, {}, {"a", "b", "c", "d"}},
        {"names", path, {"kept"}, {"kept", "a", "b", "c", "d"}},
        {"Empty", path, {}, {"0"}},
        {"Absent", path, {}, {"0"}},
        {"Names", folder.Join("absent.ini"), {}, {"0"}},
    };
    for (const auto& c : cases) {
        CStringList list = c.before;
        EXPECT_EQ(ReadSectionKeys(c.section, list, c.path.c_str()), static_cast<int>(c.after.size()))
            << c.section;
        EXPECT_EQ(list, c.after) << c.section;
    }
}

TEST(ReadSectionKeysTest, NamesBeyondTheKeyBufferAreNotSeen) {
    // 40-byte names take 41 bytes each with their NUL: six fit whole, the seventh is cut so
    // that it ends two bytes before the buffer's end.
    CStringList names;
    std::string file = "[ETC]\n";
    for (char c = 'a'; c <= 'j'; ++c) {
        names.push_back(std::string(40, c));
        file += names.back() + "=C:\\" + c + "\n";
    }
    CTestFolder folder;
    ASSERT_TRUE(folder.WriteFile("Uninstall.tmp", file));

    CStringList expected(names.begin(), names.begin() + 6);
    expected.push_back(names[6].substr(0, kSectionKeysBufferSize - 2 - 6 * 41));
    CStringList list;
    EXPECT_EQ(ReadSectionKeys("ETC", list, folder.Join("Uninstall.tmp").c_str()),
              static_cast<int>(expected.size()));
    EXPECT_EQ(list, expected);

    // The cut name names no key, so only the six whole names give removals.
    const CUninstallPlan plan(folder.Path().c_str());
    EXPECT_EQ(plan.GetRemovalList(),
              (CStringList{"C:\\a", "C:\\b", "C:\\c", "C:\\d", "C:\\e", "C:\\f"}));
}

TEST(RegistryEntryTest, AddingKeysAndValues) {
    CUninstallPlan plan(nullptr);
    EXPECT_EQ(plan.AddRegistryValue("SOFTWARE\\A", "V"), -1);   // no entry yet
    EXPECT_FALSE(plan.HasRegistryEntry("SOFTWARE\\A"));
    EXPECT_EQ(plan.AddRegistryKey("SOFTWARE\\A"), 1);
    EXPECT_EQ(plan.AddRegistryKey("SOFTWARE\\A"), 1);
    EXPECT_EQ(plan.AddRegistryKey("software\\a"), 2);
    EXPECT_EQ(plan.AddRegistryValue("SOFTWARE\\A", "V1"), 2);
    EXPECT_EQ(plan.AddRegistryValue("SOFTWARE\\A", "V2"), 3);
    EXPECT_EQ(plan.AddRegistryValue("SOFTWARE\\A", "V1"), -1);
    EXPECT_EQ(plan.AddRegistryValue("SOFTWARE\\A", "v1"), 4);
    EXPECT_EQ(plan.AddRegistryValue("SOFTWARE\\A", "SOFTWARE\\A"), -1);
    EXPECT_TRUE(plan.HasRegistryEntry("software\\a"));
    ASSERT_NE(plan.FindRegistryEntry("SOFTWARE\\A"), nullptr);
    EXPECT_EQ(*plan.FindRegistryEntry("SOFTWARE\\A"), (CStringList{"SOFTWARE\\A", "V1", "V2", "v1"}));
    EXPECT_EQ(*plan.FindRegistryEntry("software\\a"), (CStringList{"software\\a"}));
    EXPECT_EQ(plan.FindRegistryEntry("SOFTWARE"), nullptr);
}

TEST(UninstallPlanTest, SettersEmptyAFieldGivenNullOrEmptyText) {
    CUninstallPlan plan(nullptr);
    plan.SetConfirmText("c");
    plan.SetProgressText("p");
    plan.SetWarningText("w");
    plan.SetPlanPath("x");
    EXPECT_EQ(plan.GetConfirmText() + plan.GetProgressText() + plan.GetWarningText() + plan.GetPlanPath(), "cpwx");
    plan.SetConfirmText(nullptr);
    plan.SetProgressText("");
    plan.SetWarningText(nullptr);
    plan.SetPlanPath(nullptr);
    plan.SetPlanFileName("");
    plan.SetDirectory(nullptr);
    EXPECT_EQ(plan.GetConfirmText() + plan.GetProgressText() + plan.GetWarningText() + plan.GetPlanPath() +
                  plan.GetPlanFileName() + plan.GetDirectory(),
              "");

    CShortcutEntry entry;
    entry.SetKey("k");
    entry.SetShortcutName("n");
    EXPECT_EQ(entry.GetKey() + entry.GetShortcutName(), "kn");
    entry.SetKey(nullptr);
    entry.SetShortcutName("");
    EXPECT_EQ(entry.GetKey() + entry.GetShortcutName(), "");
}

}  // namespace
