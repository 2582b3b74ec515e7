#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/posted_tasks.h"
#include "app/window_ops.h"
#include "cli/terminal.h"
#include "link/clock.h"

namespace vornak::cli {

struct TerminalOptions {
    bool assumeYes = false;  // answer the confirmation with OK without asking
    bool verbose = false;    // pass the debug output on to standard error
};

// True for "y" and "yes" in any case, around blanks.
bool IsYesAnswer(const std::string& answer);

// The window operations on a terminal. Message boxes print their text on
// standard output; the confirmation becomes a y/N question. The progress bar,
// notes and debug output go to standard error, so the last line of standard
// output is the update's result. Called from the main thread and the update
// worker.
class TerminalWindow final : public WindowOps {
public:
    TerminalWindow(Terminal terminal, Clock& clock, TerminalOptions options);

    void SetProgress(int position) override;
    void EnableUpdateButton(bool enable) override;
    void ShowSuccessLabel(bool show) override;
    void SetTitle(const std::string& title) override;
    MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override;
    void DebugOutput(const std::string& line) override;
    void SetInstructionText(const std::string& text) override;
    std::optional<std::string> ChooseFirmwareFile(const std::string& filter, const std::string& startFolder) override;
    void PostToWindowThread(std::function<void()> task) override;
    void ReportBlockProgress(const BlockProgress& progress) override;

    // The answer of the file dialog.
    void SetChosenFile(std::string path);
    // Runs the posted tasks on the calling (main) thread, also those they post.
    void RunPosted();
    // A line of the flasher's own on standard error, after an open progress bar.
    void Note(const std::string& text);
    std::string title();

private:
    MessageResult Confirm();
    void EndProgressLine();  // caller holds mutex_

    Terminal terminal_;
    Clock& clock_;
    const TerminalOptions options_;
    std::mutex mutex_;
    PostedTasks posted_;
    std::optional<std::string> chosenFile_;
    std::string title_;
    uint64_t startMs_;
    bool barOpen_ = false;
    size_t barLength_ = 0;
    int plainStep_ = -1;
};

}  // namespace vornak::cli
