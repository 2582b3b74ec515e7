#pragma once

#include <memory>
#include <string>

#include "app/update_dlg.h"
#include "app/win32/update_dialog_proc.h"
#include "app/win32/update_window_win32.h"
#include "link/win32/wide_text.h"
#include "res/resource.h"
#include "sim/sim_backend.h"
#include "sim/virtual_clock.h"
#include "texts/texts.h"

#include <commctrl.h>

namespace vornak::testing {

// Dialog 102 with the real dialog procedure and window operations, wired to
// the simulated controller and a virtual clock. The test thread is the
// window thread: it creates the dialog modeless and pumps its messages.
class Win32DialogRig {
public:
    explicit Win32DialogRig(uint16_t language = kLanguageEnglishUs)
        : backend(controller, clock),
          logic(DialogEnvironment{window, backend, clock, [language] { return language; }, {}}),
          context_{logic, window, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))}
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }
    ~Win32DialogRig() { Destroy(); }

    // Creates the window; WM_INITDIALOG runs the dialog logic's initialisation.
    bool Open()
    {
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATE_DIALOG), nullptr,
                                    UpdateDialogProc, reinterpret_cast<LPARAM>(&context_));
        return dialog != nullptr;
    }
    void Destroy()
    {
        if (dialog != nullptr)
            DestroyWindow(dialog);
        dialog = nullptr;
    }
    // Handles every message queued for the window thread.
    void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Handles messages until event is signalled.
    void PumpUntil(HANDLE event)
    {
        while (MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            Pump();
    }

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    static std::string TextOf(HWND window)
    {
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
        return Utf8FromWide(text);
    }
    std::string Title() const { return TextOf(dialog); }
    std::string Instructions() const { return TextOf(Item(IDC_INSTRUCTIONS)); }
    bool ButtonEnabled() const { return IsWindowEnabled(Item(IDC_UPDATE_BUTTON)) != FALSE; }
    bool SuccessShown() const { return (GetWindowLongW(Item(IDC_SUCCESS_LABEL), GWL_STYLE) & WS_VISIBLE) != 0; }
    LRESULT Progress() const { return SendMessageW(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0); }
    LRESULT DeviceChange(WPARAM event) { return SendMessageW(dialog, WM_DEVICECHANGE, event, 0); }

    sim::VirtualClock clock;
    sim::SimulatedController controller{sim::SimConfig{}};
    sim::SimBackend backend;
    UpdateWindowWin32 window;
    CUpdateDlg logic;
    HWND dialog = nullptr;

private:
    UpdateDialogContext context_;
};

}  // namespace vornak::testing
