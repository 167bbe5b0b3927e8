// The progress window as the built program carries it: its dialog template read back from
// uninstall.exe, and the window made from that template.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include "app/progress_dlg.h"
#include "tests/win/test_files.h"

namespace {

// uninstall.exe sits in the build folder beside this test program.
std::string BuiltProgramPath() { return testfiles::BuildFolder() + "\\uninstall.exe"; }

HMODULE BuiltProgram() {
    static HMODULE module = ::LoadLibraryExA(BuiltProgramPath().c_str(), nullptr,
                                             LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

// A reader over a dialog template in either form (DIALOG or DIALOGEX).
class CTemplateReader {
public:
    CTemplateReader(const BYTE* data, DWORD size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    WORD Word() { return Read<WORD>(); }
    DWORD Dword() { return Read<DWORD>(); }
    short Short() { return Read<short>(); }
    void AlignDword() { m_at = (m_at + 3) & ~static_cast<DWORD>(3); }

    // A name or ordinal field: "#n" for an ordinal, else the UTF-16 text as UTF-8.
    std::string NameOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF) return "#" + std::to_string(Word());
        std::wstring text;
        for (WORD c = first; m_ok && c != 0; c = Word()) text += static_cast<wchar_t>(c);
        return Utf8(text);
    }
    std::string Text() { return NameOrOrdinal(); }

private:
    template <typename T>
    T Read() {
        T value{};
        if (m_at + sizeof(T) > m_size) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_data + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }

    static std::string Utf8(const std::wstring& text) {
        char buffer[512] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), buffer,
                              sizeof(buffer) - 1, nullptr, nullptr);
        return buffer;
    }

    const BYTE* m_data;
    DWORD m_size;
    DWORD m_at = 0;
    bool m_ok = true;
};

struct CTemplate {
    DWORD style = 0, exStyle = 0;
    WORD itemCount = 0;
    short x = -1, y = -1, cx = 0, cy = 0;
    std::string menu, windowClass, caption, faceName;
    WORD pointSize = 0;
    struct CItem {
        DWORD style = 0, exStyle = 0;
        short x = 0, y = 0, cx = 0, cy = 0;
        DWORD id = 0;
        std::string windowClass, text;
    } item;
};

bool ReadTemplate(const BYTE* data, DWORD size, CTemplate& result) {
    CTemplateReader reader(data, size);
    WORD version = reader.Word();
    WORD signature = reader.Word();
    const bool extended = version == 1 && signature == 0xFFFF;
    if (extended) {
        reader.Dword();   // help id
        result.exStyle = reader.Dword();
        result.style = reader.Dword();
    } else {
        result.style = MAKELONG(version, signature);
        result.exStyle = reader.Dword();
    }
    result.itemCount = reader.Word();
    result.x = reader.Short();
    result.y = reader.Short();
    result.cx = reader.Short();
    result.cy = reader.Short();
    result.menu = reader.NameOrOrdinal();
    result.windowClass = reader.NameOrOrdinal();
    result.caption = reader.Text();
    if (result.style & DS_SETFONT) {
        result.pointSize = reader.Word();
        if (extended) reader.Dword();   // weight, italic, charset
        result.faceName = reader.Text();
    }
    if (result.itemCount >= 1) {
        reader.AlignDword();
        CTemplate::CItem& item = result.item;
        if (extended) {
            reader.Dword();   // help id
            item.exStyle = reader.Dword();
            item.style = reader.Dword();
        } else {
            item.style = reader.Dword();
            item.exStyle = reader.Dword();
        }
        item.x = reader.Short();
        item.y = reader.Short();
        item.cx = reader.Short();
        item.cy = reader.Short();
        item.id = extended ? reader.Dword() : reader.Word();
        item.windowClass = reader.NameOrOrdinal();
        item.text = reader.Text();
    }
    return reader.ok();
}

TEST(ProgressTemplate, IsTheJapaneseTemplateOfTheBuiltProgram) {
    HMODULE module = BuiltProgram();
    ASSERT_NE(module, nullptr) << BuiltProgramPath();
    HRSRC found = ::FindResourceExA(module, MAKEINTRESOURCEA(5) /* RT_DIALOG */,
                                    MAKEINTRESOURCEA(IDD_PROGRESS), 0x411);
    ASSERT_NE(found, nullptr) << "no Japanese dialog template " << IDD_PROGRESS;
    const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    ASSERT_NE(data, nullptr);
    CTemplate read;
    ASSERT_TRUE(ReadTemplate(data, ::SizeofResource(module, found), read));

    EXPECT_EQ(IDD_PROGRESS, 131);
    EXPECT_EQ(read.x, 0);
    EXPECT_EQ(read.y, 0);
    EXPECT_EQ(read.cx, 200);
    EXPECT_EQ(read.cy, 54);
    EXPECT_EQ(read.style, 0x80C000C0u);
    EXPECT_EQ(read.exStyle, 0u);
    EXPECT_EQ(read.menu, "");
    EXPECT_EQ(read.windowClass, "");
    EXPECT_EQ(read.caption, "Uninstalling");
    EXPECT_EQ(read.pointSize, 10);
    EXPECT_EQ(read.faceName, "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");   // ＭＳ Ｐゴシック
    ASSERT_EQ(read.itemCount, 1);
    EXPECT_EQ(read.item.id, 1003u);
    EXPECT_EQ(read.item.x, 7);
    EXPECT_EQ(read.item.y, 7);
    EXPECT_EQ(read.item.cx, 186);
    EXPECT_EQ(read.item.cy, 40);
    EXPECT_EQ(read.item.style, 0x50020000u);
    EXPECT_EQ(read.item.exStyle, 0u);
    EXPECT_EQ(read.item.windowClass, "#130");   // the static control class
    EXPECT_EQ(read.item.text, "Uninstalling...");
}

class ProgressWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(BuiltProgram(), nullptr) << BuiltProgramPath();
        AfxSetResourceHandle(BuiltProgram());
    }
    void TearDown() override { AfxSetResourceHandle(nullptr); }
};

TEST_F(ProgressWindow, ShowsTheTextCentredWithoutCloseBox) {
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create());
    HWND window = dialog.GetSafeHwnd();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window)) << "created hidden";
    ASSERT_NE(dialog.m_staticMessage.GetSafeHwnd(), nullptr) << "control 1003 bound on creation";
    EXPECT_EQ(dialog.m_staticMessage.GetSafeHwnd(), ::GetDlgItem(window, 1003));

    EXPECT_TRUE(dialog.m_staticMessage.SetWindowText("Removing the manual..."));
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();

    char text[256] = {};
    ::GetDlgItemTextA(window, 1003, text, sizeof(text));
    EXPECT_STREQ(text, "Removing the manual...");
    char caption[256] = {};
    ::GetWindowTextA(window, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Uninstalling");
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(::GetWindowLongPtrA(window, GWL_STYLE) & WS_SYSMENU, 0);

    RECT rect{}, work{};
    ::GetWindowRect(window, &rect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor));
    work = monitor.rcWork;
    const int leftGap = rect.left - work.left, rightGap = work.right - rect.right;
    const int topGap = rect.top - work.top, bottomGap = work.bottom - rect.bottom;
    EXPECT_LE(std::abs(leftGap - rightGap), 1) << leftGap << " vs " << rightGap;
    EXPECT_LE(std::abs(topGap - bottomGap), 1) << topGap << " vs " << bottomGap;
    EXPECT_GT(leftGap, 0);

    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

// The hook that routes WM_CREATE: a dialog that refuses it is not made, and the next one is.
class CRefusingDialog : public CProgressDlg {
protected:
    int OnCreate(CREATESTRUCTA* createStruct) override {
        ++m_createCalls;
        CProgressDlg::OnCreate(createStruct);
        return -1;
    }

public:
    int m_createCalls = 0;
};

class CCountingDialog : public CProgressDlg {
protected:
    int OnCreate(CREATESTRUCTA* createStruct) override {
        ++m_createCalls;
        return CProgressDlg::OnCreate(createStruct);
    }

public:
    int m_createCalls = 0;
};

TEST_F(ProgressWindow, RoutesCreationThroughOnCreate) {
    CRefusingDialog refused;
    EXPECT_FALSE(refused.Create());
    EXPECT_EQ(refused.m_createCalls, 1);
    EXPECT_EQ(refused.GetSafeHwnd(), nullptr);

    CCountingDialog made;
    EXPECT_TRUE(made.Create());
    EXPECT_EQ(made.m_createCalls, 1);
    EXPECT_NE(made.m_staticMessage.GetSafeHwnd(), nullptr);
}

TEST(ProgressWindowWithoutTemplate, FailsQuietly) {
    // This test program carries no dialog template: the window cannot be made, and the calls
    // the removal phase makes on it do nothing.
    AfxSetResourceHandle(nullptr);
    CProgressDlg dialog;
    EXPECT_FALSE(dialog.Create());
    EXPECT_FALSE(dialog.m_staticMessage.SetWindowText("text"));
    EXPECT_FALSE(dialog.ShowWindow(SW_SHOW));
    EXPECT_FALSE(dialog.UpdateWindow());
    EXPECT_FALSE(dialog.DestroyWindow());
}

}  // namespace
