#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/posted_tasks.h"
#include "app/window_ops.h"

namespace vornak::testing {

// A WindowOps that records every call as one line ("progress 25", "button on",
// "title ...") and answers message boxes and the file dialog from a script.
// Posted tasks wait until the test, playing the window thread, runs them.
class RecordingWindow : public WindowOps {
public:
    void SetProgress(int position) override { Record("progress " + std::to_string(position)); }
    void EnableUpdateButton(bool enable) override
    {
        std::lock_guard lock(mutex_);
        buttonEnabled = enable;
        events_.push_back(enable ? "button on" : "button off");
    }
    void ShowSuccessLabel(bool show) override { Record(show ? "label show" : "label hide"); }
    void SetTitle(const std::string& text) override
    {
        std::lock_guard lock(mutex_);
        title = text;
        events_.push_back("title " + text);
    }
    MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override
    {
        if (onMessage)
            onMessage(text);
        std::lock_guard lock(mutex_);
        events_.push_back(std::string(buttons == MessageButtons::Ok ? "message " : "confirm ") + text);
        captions.push_back(caption);
        if (buttons == MessageButtons::Ok || answers.empty())
            return MessageResult::Ok;
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void DebugOutput(const std::string& line) override
    {
        std::lock_guard lock(mutex_);
        debugLines.push_back(line);
    }
    void SetInstructionText(const std::string& text) override
    {
        std::lock_guard lock(mutex_);
        instructions = text;
        events_.push_back("instructions");
    }
    std::optional<std::string> ChooseFirmwareFile(const std::string& filter, const std::string& startFolder) override
    {
        std::lock_guard lock(mutex_);
        lastFilter = filter;
        lastStartFolder = startFolder;
        events_.push_back("choose");
        return chosenFile;
    }
    void PostToWindowThread(std::function<void()> task) override { posted_.Post(std::move(task)); }
    void ReportBlockProgress(const BlockProgress& progress) override
    {
        std::lock_guard lock(mutex_);
        blockProgress.push_back(progress);
    }

    // Runs the posted tasks, as the window thread would once the handler returned.
    void RunPosted() { posted_.RunAll(); }
    size_t PostedCount() { return posted_.size(); }

    std::vector<std::string> Events()
    {
        std::lock_guard lock(mutex_);
        return events_;
    }
    // The recorded lines that start with prefix, in order.
    std::vector<std::string> EventsStartingWith(const std::string& prefix)
    {
        std::vector<std::string> out;
        for (const std::string& e : Events())
            if (e.rfind(prefix, 0) == 0)
                out.push_back(e);
        return out;
    }
    void ClearEvents()
    {
        std::lock_guard lock(mutex_);
        events_.clear();
        debugLines.clear();
        captions.clear();
        blockProgress.clear();
    }

    // Runs inside every message box, on the calling thread, before it is answered.
    std::function<void(const std::string&)> onMessage;

    // Script and observed state; read them while no worker runs.
    std::deque<MessageResult> answers;  // for OK/Cancel boxes; empty: OK
    std::optional<std::string> chosenFile;
    bool buttonEnabled = true;  // as the template creates it
    std::string title;
    std::string instructions;
    std::string lastFilter;
    std::string lastStartFolder;
    std::vector<std::string> debugLines;
    std::vector<std::string> captions;
    std::vector<BlockProgress> blockProgress;

private:
    void Record(std::string line)
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(line));
    }

    std::mutex mutex_;
    std::vector<std::string> events_;
    PostedTasks posted_;
};

}  // namespace vornak::testing
