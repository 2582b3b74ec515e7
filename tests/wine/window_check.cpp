// Checks the running vornak-update.exe from outside, as a user would see it
// with no controller attached.
//   vornak-window-check zh|en   finds the window by its title and reads the
//                               update button's state and the instructions
//   vornak-window-check close   closes the window and waits for it to go
// Exit code 0 when every check passed.
#include <cstdio>
#include <iterator>
#include <string>

#include "link/win32/wide_text.h"
#include "link/win32/win32_api.h"
#include "res/resource.h"
#include "texts/texts.h"

#include <commctrl.h>

namespace {

constexpr int kPollMs = 100;
constexpr int kFindWindowPolls = 300;  // the window opens within 30 s
constexpr int kClosePolls = 100;

// WM_GETTEXT, since GetWindowTextW does not read controls of another process.
std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

int failures = 0;

void Check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    failures += ok ? 0 : 1;
}

HWND FindUpdateWindow()
{
    const std::wstring title = vornak::WideFromUtf8(vornak::LoadText(vornak::kTextProductTitle, 0));
    HWND window = nullptr;
    for (int i = 0; i < kFindWindowPolls && window == nullptr; ++i) {
        window = FindWindowW(nullptr, title.c_str());
        if (window == nullptr)
            Sleep(kPollMs);
    }
    Check(window != nullptr, "window \"Vornak Update v2.16\" found");
    return window;
}

void CheckControls(HWND window, bool chinese)
{
    const HWND button = GetDlgItem(window, IDC_UPDATE_BUTTON);
    Check(button != nullptr && !IsWindowEnabled(button), "update button 1009 disabled");
    Check(TextOf(button) == vornak::WideFromUtf8(vornak::kTextUpdateButton), "update button reads USB_Update");

    const std::wstring instructions = TextOf(GetDlgItem(window, IDC_INSTRUCTIONS));
    const bool isChinese = instructions == vornak::WideFromUtf8(vornak::kInstructionsChinese);
    const bool isEnglish = instructions == vornak::WideFromUtf8(vornak::kInstructionsEnglish);
    std::printf("instructions 1016: %s\n", isChinese ? "Chinese" : isEnglish ? "English" : "unexpected text");
    Check(chinese ? isChinese : isEnglish, chinese ? "instructions in Chinese" : "instructions in English");

    const HWND label = GetDlgItem(window, IDC_SUCCESS_LABEL);
    Check(label != nullptr && (GetWindowLongW(label, GWL_STYLE) & WS_VISIBLE) == 0, "success text hidden");
    Check(SendMessageW(GetDlgItem(window, IDC_PROGRESS), PBM_GETPOS, 0, 0) == 0, "progress bar at 0");
}

// With no update running the window closes without asking.
void CheckClose(HWND window)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
    bool closed = false;
    for (int i = 0; i < kClosePolls && !closed; ++i) {
        closed = !IsWindow(window);
        if (!closed)
            Sleep(kPollMs);
    }
    Check(closed, "window closed on WM_CLOSE");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc == 2 ? argv[1] : L"";
    if (command != L"zh" && command != L"en" && command != L"close") {
        std::printf("usage: vornak-window-check zh|en|close\n");
        return 2;
    }
    const HWND window = FindUpdateWindow();
    if (window == nullptr)
        return 1;
    if (command == L"close")
        CheckClose(window);
    else
        CheckControls(window, command == L"zh");
    return failures == 0 ? 0 : 1;
}
