#include "cli/terminal_window.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>

#include "cli/progress_line.h"

namespace vornak::cli {
namespace {

constexpr const char* kConfirmQuestion = "Write this firmware to the controller? [y/N] ";
constexpr const char* kNoTerminal =
    "vornak-flash: not confirmed: standard input is not a terminal to ask on; pass --yes to confirm";

// Texts keep the window's CR LF line ends; a terminal wants LF.
std::string TerminalText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

}  // namespace

bool IsYesAnswer(const std::string& answer)
{
    std::string word;
    for (char c : answer)
        if (!std::isspace(static_cast<unsigned char>(c)))
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word == "y" || word == "yes";
}

TerminalWindow::TerminalWindow(Terminal terminal, Clock& clock, TerminalOptions options)
    : terminal_(terminal), clock_(clock), options_(options), startMs_(clock.NowMs())
{
}

// The terminal has no bar to move (the block report draws it), no button, no
// success text and no instructions to replace.
void TerminalWindow::SetProgress(int) {}
void TerminalWindow::EnableUpdateButton(bool) {}
void TerminalWindow::ShowSuccessLabel(bool) {}
void TerminalWindow::SetInstructionText(const std::string&) {}

void TerminalWindow::SetTitle(const std::string& title)
{
    std::lock_guard lock(mutex_);
    title_ = title;
}

std::string TerminalWindow::title()
{
    std::lock_guard lock(mutex_);
    return title_;
}

MessageResult TerminalWindow::ShowMessage(const std::string& text, const std::string&, MessageButtons buttons)
{
    {
        std::lock_guard lock(mutex_);
        EndProgressLine();
        terminal_.out << TerminalText(text) << '\n' << std::flush;
    }
    if (buttons == MessageButtons::Ok)
        return MessageResult::Ok;
    const MessageResult answer = Confirm();
    if (answer == MessageResult::Ok) {
        std::lock_guard lock(mutex_);
        startMs_ = clock_.NowMs();  // the rate leaves out the time spent answering
    }
    return answer;
}

MessageResult TerminalWindow::Confirm()
{
    if (options_.assumeYes)
        return MessageResult::Ok;
    if (!terminal_.inIsTerminal) {
        Note(kNoTerminal);
        return MessageResult::Cancel;
    }
    {
        std::lock_guard lock(mutex_);
        terminal_.err << kConfirmQuestion << std::flush;
    }
    // Not under the lock: the answer may take the user a while.
    std::string answer;
    if (!std::getline(terminal_.in, answer))
        return MessageResult::Cancel;
    return IsYesAnswer(answer) ? MessageResult::Ok : MessageResult::Cancel;
}

void TerminalWindow::DebugOutput(const std::string& line)
{
    if (!options_.verbose)
        return;
    std::lock_guard lock(mutex_);
    EndProgressLine();
    std::string text = TerminalText(line);
    if (text.empty() || text.back() != '\n')
        text += '\n';
    terminal_.err << text << std::flush;
}

std::optional<std::string> TerminalWindow::ChooseFirmwareFile(const std::string&, const std::string&)
{
    std::lock_guard lock(mutex_);
    return chosenFile_;
}

void TerminalWindow::SetChosenFile(std::string path)
{
    std::lock_guard lock(mutex_);
    chosenFile_ = std::move(path);
}

void TerminalWindow::PostToWindowThread(std::function<void()> task)
{
    posted_.Post(std::move(task));
}

void TerminalWindow::RunPosted() { posted_.RunAll(); }

void TerminalWindow::ReportBlockProgress(const BlockProgress& progress)
{
    std::lock_guard lock(mutex_);
    const std::string line = FormatProgressLine(progress, clock_.NowMs() - startMs_);
    if (!terminal_.errIsTerminal) {
        const int step = PlainLineStep(progress);
        if (step != plainStep_)
            terminal_.err << line << '\n' << std::flush;
        plainStep_ = step;
        return;
    }
    // Redrawn in place; blanks cover what a longer line left behind.
    terminal_.err << '\r' << line << std::string(barLength_ > line.size() ? barLength_ - line.size() : 0, ' ')
                  << std::flush;
    barLength_ = line.size();
    barOpen_ = true;
}

void TerminalWindow::Note(const std::string& text)
{
    std::lock_guard lock(mutex_);
    EndProgressLine();
    terminal_.err << TerminalText(text) << '\n' << std::flush;
}

void TerminalWindow::EndProgressLine()
{
    if (!barOpen_)
        return;
    terminal_.err << '\n';
    barOpen_ = false;
    barLength_ = 0;
}

}  // namespace vornak::cli
