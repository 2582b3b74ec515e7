#pragma once

#include <functional>
#include <mutex>

#include "app/window_ops.h"
#include "link/win32/win32_api.h"

namespace vornak {

// The window operations on dialog 102. Changes to the controls and the title
// run on the window thread: a call from another thread sends the work there
// and waits. Message boxes and the file dialog run on the calling thread.
class UpdateWindowWin32 final : public WindowOps {
public:
    // The dialog's private messages: a task to run now (the sender waits) and
    // a posted task on the heap.
    static constexpr UINT kRunTaskMessage = WM_APP + 1;
    static constexpr UINT kPostedTaskMessage = WM_APP + 2;

    UpdateWindowWin32() = default;
    UpdateWindowWin32(const UpdateWindowWin32&) = delete;
    UpdateWindowWin32& operator=(const UpdateWindowWin32&) = delete;

    // Window thread, at WM_INITDIALOG, before any other thread exists: looks
    // the controls up once and sets the progress range.
    void Attach(HWND dialog);
    // Window thread, at WM_DESTROY: frees the tasks posted but not run; later
    // posts are freed at once.
    void Detach();
    // Runs a task message; false for any other message.
    bool HandleTaskMessage(UINT message, LPARAM lParam);

    HWND dialog() const { return dialog_; }

    void SetProgress(int position) override;
    void EnableUpdateButton(bool enable) override;
    void ShowSuccessLabel(bool show) override;
    void SetTitle(const std::string& title) override;
    MessageResult ShowMessage(const std::string& text, const std::string& caption,
                              MessageButtons buttons) override;
    void DebugOutput(const std::string& line) override;
    void SetInstructionText(const std::string& text) override;
    std::optional<std::string> ChooseFirmwareFile(const std::string& filter,
                                                  const std::string& startFolder) override;
    void PostToWindowThread(std::function<void()> task) override;

private:
    void RunOnWindowThread(const std::function<void()>& task);

    HWND dialog_ = nullptr;
    HWND progressBar_ = nullptr;
    HWND updateButton_ = nullptr;
    HWND successLabel_ = nullptr;
    HWND instructionText_ = nullptr;

    std::mutex postMutex_;  // orders posts against Detach's drain
    bool acceptingPosts_ = false;
};

}  // namespace vornak
