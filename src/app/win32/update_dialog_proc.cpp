#include "app/win32/update_dialog_proc.h"

#include "res/resource.h"

namespace vornak {
namespace {

UpdateDialogContext* ContextOf(HWND dialog)
{
    return reinterpret_cast<UpdateDialogContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR Result(HWND dialog, LRESULT result)
{
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

BOOL OnInitDialog(HWND dialog, UpdateDialogContext& context)
{
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(context.icon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(context.icon));
    context.window.Attach(dialog);
    return context.logic.OnInitDialog(dialog) ? TRUE : FALSE;
}

// The close box, Esc and Enter all end the dialog unless an update is running.
void OnCloseRequested(HWND dialog, UpdateDialogContext& context, INT_PTR result)
{
    if (context.logic.OnCloseRequested())
        EndDialog(dialog, result);
}

INT_PTR OnCommand(HWND dialog, UpdateDialogContext& context, WPARAM wParam)
{
    const WORD id = LOWORD(wParam);
    if (id == IDC_UPDATE_BUTTON && HIWORD(wParam) == BN_CLICKED) {
        context.logic.OnUpdateButtonClicked();
        return TRUE;
    }
    if (id == IDOK || id == IDCANCEL) {
        OnCloseRequested(dialog, context, id);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK UpdateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return OnInitDialog(dialog, *reinterpret_cast<UpdateDialogContext*>(lParam));
    }
    UpdateDialogContext* context = ContextOf(dialog);
    if (context == nullptr)
        return FALSE;
    if (context->window.HandleTaskMessage(message, lParam))
        return TRUE;
    switch (message) {
    case WM_DEVICECHANGE:
        return Result(dialog, context->logic.OnDeviceChange(static_cast<uint32_t>(wParam),
                                                            reinterpret_cast<const void*>(lParam)));
    case WM_COMMAND:
        return OnCommand(dialog, *context, wParam);
    case WM_CLOSE:
        OnCloseRequested(dialog, *context, IDCANCEL);
        return TRUE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(context->icon);
    case WM_DESTROY:
        context->window.Detach();
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace vornak
