#pragma once

#include "app/update_dlg.h"
#include "app/win32/update_window_win32.h"

namespace vornak {

// What the dialog procedure of dialog 102 works with; passed as the
// initialisation parameter of DialogBoxParamW or CreateDialogParamW.
struct UpdateDialogContext {
    CUpdateDlg& logic;
    UpdateWindowWin32& window;
    HICON icon;
};

// The message map: forwards the window's events to the dialog logic.
INT_PTR CALLBACK UpdateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vornak
