// The compiled resources against the texts of the dialog logic, so the two
// copies of each text cannot drift apart.
#include <gtest/gtest.h>

#include "link/win32/wide_text.h"
#include "link/win32/win32_api.h"
#include "res/resource.h"
#include "texts/texts.h"

#include <commctrl.h>

namespace vornak {
namespace {

std::wstring Wide(const char* text) { return WideFromUtf8(text); }

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

TEST(Resources, StringTableHoldsTheTextsOfTheDialogLogic)
{
    for (const int number : {IDS_FILE_TYPE_ZH, IDS_PRODUCT_TITLE_ZH, IDS_FILE_TYPE_EN, IDS_PRODUCT_TITLE_EN}) {
        const wchar_t* text = nullptr;
        const int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(number),
                                       reinterpret_cast<wchar_t*>(&text), 0);
        ASSERT_GT(length, 0) << "string " << number;
        EXPECT_EQ(std::wstring(text, static_cast<size_t>(length)), WideFromUtf8(StringResource(number)))
            << "string " << number;
    }
}

TEST(Resources, IconLoads)
{
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)), nullptr);
}

class DialogTemplate : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATE_DIALOG), nullptr,
                                     [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        ASSERT_NE(dialog_, nullptr) << "error " << GetLastError();
    }
    void TearDown() override
    {
        if (dialog_ != nullptr)
            DestroyWindow(dialog_);
    }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    LONG Style(int id) const { return GetWindowLongW(Item(id), GWL_STYLE); }

    HWND dialog_ = nullptr;
};

TEST_F(DialogTemplate, ControlsCarryTheirClassesTextsAndStates)
{
    const struct {
        int id;
        const wchar_t* className;
        std::wstring text;
        bool visible;
    } controls[] = {
        {IDC_PROGRESS, L"msctls_progress32", L"", true},
        {IDC_INSTRUCTIONS, L"Static", Wide(kInstructionsChinese), true},
        {IDC_SUCCESS_LABEL, L"Static", Wide(kTextUpdatedSuccessful), false},
        {IDC_UPDATE_BUTTON, L"Button", Wide(kTextUpdateButton), true},
    };
    for (const auto& c : controls) {
        const HWND item = Item(c.id);
        ASSERT_NE(item, nullptr) << "control " << c.id;
        EXPECT_EQ(_wcsicmp(ClassOf(item).c_str(), c.className), 0) << "control " << c.id;
        EXPECT_EQ(TextOf(item), c.text) << "control " << c.id;
        EXPECT_EQ((Style(c.id) & WS_VISIBLE) != 0, c.visible) << "control " << c.id;
        EXPECT_TRUE(IsWindowEnabled(item)) << "control " << c.id;
    }
    EXPECT_EQ(Style(IDC_SUCCESS_LABEL) & SS_TYPEMASK, SS_CENTER);
    EXPECT_EQ(Style(IDC_INSTRUCTIONS) & SS_TYPEMASK, SS_LEFT);
    EXPECT_NE(Style(IDC_UPDATE_BUTTON) & WS_TABSTOP, 0);
}

TEST_F(DialogTemplate, FrameHasNoMinimizeOrMaximizeBoxAndUsesSongTi)
{
    const LONG style = GetWindowLongW(dialog_, GWL_STYLE);
    EXPECT_NE(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(GetWindowLongW(dialog_, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0));
    ASSERT_NE(handle, nullptr);
    ASSERT_NE(GetObjectW(handle, sizeof font, &font), 0);
    EXPECT_STREQ(font.lfFaceName, L"\u5b8b\u4f53");
}

}  // namespace
}  // namespace vornak
