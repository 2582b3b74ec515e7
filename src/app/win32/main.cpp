// vornak-update.exe: one modal dialog, then the program ends.
#include "app/update_dlg.h"
#include "app/win32/update_dialog_proc.h"
#include "app/win32/update_window_win32.h"
#include "link/win32/hid_backend_win32.h"
#include "link/win32/win32_api.h"
#include "res/resource.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    // Registers the progress bar's window class, which dialog 102 uses.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    vornak::HidBackendWin32 backend;
    vornak::UpdateWindowWin32 window;
    vornak::CUpdateDlg logic(vornak::DialogEnvironment{
        window, backend, vornak::SteadyClock(), [] { return static_cast<uint16_t>(GetUserDefaultUILanguage()); },
        {}});
    vornak::UpdateDialogContext context{logic, window, LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME))};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_UPDATE_DIALOG), nullptr, vornak::UpdateDialogProc,
                    reinterpret_cast<LPARAM>(&context));
    return 0;
}
