#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vornak {

enum class MessageButtons { Ok, OkCancel };
enum class MessageResult { Ok = 1, Cancel = 2 };

// What the update procedure reports after each handled block, for front ends
// that show more than the bar (the command line shows blocks, rate and time left).
struct BlockProgress {
    int position = 0;            // the bar's position by the progress rule; may exceed 100
    uint32_t blocksHandled = 0;  // counted blocks of all images so far
    uint32_t blocksTotal = 0;    // blocks of all images of the form
    uint32_t blocksWritten = 0;  // of the handled blocks, those erased and written
    uint32_t blocksMatched = 0;  // of the handled blocks, those the controller already held
};

// Everything the dialog logic does to the screen. Each front end (Qt, Win32,
// the command line, the tests' recorder) implements it. Every call may come
// from the window thread or the update worker and has completed when it
// returns; text is UTF-8.
class WindowOps {
public:
    virtual ~WindowOps() = default;

    virtual void SetProgress(int position) = 0;
    virtual void EnableUpdateButton(bool enable) = 0;
    virtual void ShowSuccessLabel(bool show) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // A message box owned by the dialog, captioned with caption, with no icon.
    virtual MessageResult ShowMessage(const std::string& text, const std::string& caption,
                                      MessageButtons buttons) = 0;
    virtual void DebugOutput(const std::string& line) = 0;
    virtual void SetInstructionText(const std::string& text) = 0;

    // The file-open dialog. filter is "<label>(*.dat)|*.dat||"; startFolder may be
    // empty (the platform's default). Returns the chosen path or nothing on cancel.
    virtual std::optional<std::string> ChooseFirmwareFile(const std::string& filter,
                                                          const std::string& startFolder) = 0;

    // Runs task on the window thread after the handler now running has returned,
    // never blocking the caller,
    // the way a title set from another thread lands only when the window thread
    // next handles messages. Never runs it inside the calling handler.
    virtual void PostToWindowThread(std::function<void()> task) = 0;

    // Optional detail after each counted block; the bar itself moves by SetProgress.
    virtual void ReportBlockProgress(const BlockProgress& /*progress*/) {}
};

}  // namespace vornak
