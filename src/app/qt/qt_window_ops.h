#pragma once

#include <QMetaObject>
#include <QThread>

#include <type_traits>

#include "app/qt/prompts.h"
#include "app/window_ops.h"

namespace vornak::qt {

class UpdateWindow;

// The window operations on the Qt window. A call from another thread is
// carried out on the window thread while the caller waits; the window thread
// itself calls straight through.
class QtWindowOps final : public WindowOps {
public:
    QtWindowOps(UpdateWindow& window, Prompts& prompts) : window_(window), prompts_(prompts) {}

    void SetProgress(int position) override;
    void EnableUpdateButton(bool enable) override;
    void ShowSuccessLabel(bool show) override;
    void SetTitle(const std::string& title) override;
    MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override;
    void DebugOutput(const std::string& line) override;
    void SetInstructionText(const std::string& text) override;
    std::optional<std::string> ChooseFirmwareFile(const std::string& filter, const std::string& startFolder) override;
    void PostToWindowThread(std::function<void()> task) override;

private:
    template <typename Call>
    auto OnWindowThread(Call call) -> decltype(call());

    UpdateWindow& window_;
    Prompts& prompts_;
};

}  // namespace vornak::qt
