#include "app/win32/update_window_win32.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "app/win32/open_file_filter.h"
#include "link/win32/wide_text.h"
#include "res/resource.h"

// After <windows.h>, which update_window_win32.h brings in.
#include <commctrl.h>
#include <commdlg.h>

namespace vornak {
namespace {

using Task = std::function<void()>;

constexpr int kProgressMax = 100;
// The longest path Win32 can name.
constexpr size_t kPathBufferChars = 32768;

}  // namespace

void UpdateWindowWin32::Attach(HWND dialog)
{
    dialog_ = dialog;
    progressBar_ = GetDlgItem(dialog, IDC_PROGRESS);
    updateButton_ = GetDlgItem(dialog, IDC_UPDATE_BUTTON);
    successLabel_ = GetDlgItem(dialog, IDC_SUCCESS_LABEL);
    instructionText_ = GetDlgItem(dialog, IDC_INSTRUCTIONS);
    SendMessageW(progressBar_, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressMax));
    std::lock_guard lock(postMutex_);
    acceptingPosts_ = true;
}

void UpdateWindowWin32::Detach()
{
    std::lock_guard lock(postMutex_);
    acceptingPosts_ = false;
    MSG message;
    while (PeekMessageW(&message, dialog_, kPostedTaskMessage, kPostedTaskMessage, PM_REMOVE))
        delete reinterpret_cast<Task*>(message.lParam);
}

bool UpdateWindowWin32::HandleTaskMessage(UINT message, LPARAM lParam)
{
    if (message == kRunTaskMessage) {
        (*reinterpret_cast<const Task*>(lParam))();
        return true;
    }
    if (message == kPostedTaskMessage) {
        const std::unique_ptr<Task> task(reinterpret_cast<Task*>(lParam));
        (*task)();
        return true;
    }
    return false;
}

void UpdateWindowWin32::RunOnWindowThread(const Task& task)
{
    // On the window thread SendMessageW calls the dialog procedure directly.
    SendMessageW(dialog_, kRunTaskMessage, 0, reinterpret_cast<LPARAM>(&task));
}

void UpdateWindowWin32::PostToWindowThread(Task task)
{
    auto heapTask = std::make_unique<Task>(std::move(task));
    std::lock_guard lock(postMutex_);
    if (acceptingPosts_ && PostMessageW(dialog_, kPostedTaskMessage, 0, reinterpret_cast<LPARAM>(heapTask.get())))
        heapTask.release();  // the window thread owns it now
}

void UpdateWindowWin32::SetProgress(int position)
{
    const int clamped = std::clamp(position, 0, kProgressMax);
    RunOnWindowThread([this, clamped] { SendMessageW(progressBar_, PBM_SETPOS, clamped, 0); });
}

void UpdateWindowWin32::EnableUpdateButton(bool enable)
{
    RunOnWindowThread([this, enable] { EnableWindow(updateButton_, enable ? TRUE : FALSE); });
}

void UpdateWindowWin32::ShowSuccessLabel(bool show)
{
    RunOnWindowThread([this, show] { ShowWindow(successLabel_, show ? SW_SHOW : SW_HIDE); });
}

void UpdateWindowWin32::SetTitle(const std::string& title)
{
    const std::wstring text = WideFromUtf8(title);
    RunOnWindowThread([this, &text] { SetWindowTextW(dialog_, text.c_str()); });
}

void UpdateWindowWin32::SetInstructionText(const std::string& text)
{
    const std::wstring wide = WideFromUtf8(text);
    RunOnWindowThread([this, &wide] { SetWindowTextW(instructionText_, wide.c_str()); });
}

MessageResult UpdateWindowWin32::ShowMessage(const std::string& text, const std::string& caption,
                                             MessageButtons buttons)
{
    const UINT type = buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    const int pressed = MessageBoxW(dialog_, WideFromUtf8(text).c_str(), WideFromUtf8(caption).c_str(), type);
    return pressed == IDOK ? MessageResult::Ok : MessageResult::Cancel;
}

void UpdateWindowWin32::DebugOutput(const std::string& line) { OutputDebugStringW(WideFromUtf8(line).c_str()); }

std::optional<std::string> UpdateWindowWin32::ChooseFirmwareFile(const std::string& filter,
                                                                 const std::string& startFolder)
{
    const std::wstring filterPairs = OpenFileFilter(filter);
    const std::wstring folder = WideFromUtf8(startFolder);
    std::vector<wchar_t> path(kPathBufferChars, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = dialog_;
    dialog.lpstrFilter = filterPairs.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog))
        return std::nullopt;
    return Utf8FromWide(path.data());
}

}  // namespace vornak
