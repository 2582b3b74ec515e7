#include "cli/terminal_window.h"

#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "sim/virtual_clock.h"

namespace vornak::cli {
namespace {

// A terminal made of string streams; the flags say what each stream pretends to be.
struct FakeTerminal {
    explicit FakeTerminal(std::string input = {}, bool inIsTerminal = false, bool errIsTerminal = false)
        : in(std::move(input)), inTty(inIsTerminal), errTty(errIsTerminal)
    {
    }
    Terminal terminal() { return {in, out, err, inTty, errTty}; }

    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    bool inTty;
    bool errTty;
};

TEST(TerminalWindow, AnswersTheConfirmationFromTheTerminal)
{
    struct Case {
        std::string input;
        bool inIsTerminal;
        bool assumeYes;
        MessageResult expected;
        bool asked;
    };
    const Case cases[] = {
        {"y\n", true, false, MessageResult::Ok, true},
        {" YES \n", true, false, MessageResult::Ok, true},
        {"\n", true, false, MessageResult::Cancel, true},
        {"n\n", true, false, MessageResult::Cancel, true},
        {"yep\n", true, false, MessageResult::Cancel, true},
        {"", true, false, MessageResult::Cancel, true},  // end of input
        // With no terminal to ask on, it refuses rather than waits.
        {"y\n", false, false, MessageResult::Cancel, false},
        {"", false, true, MessageResult::Ok, false},
        {"n\n", true, true, MessageResult::Ok, false},
    };
    for (const Case& c : cases) {
        FakeTerminal fake(c.input, c.inIsTerminal);
        sim::VirtualClock clock;
        TerminalWindow window(fake.terminal(), clock, {.assumeYes = c.assumeYes, .verbose = false});
        EXPECT_EQ(window.ShowMessage("firmware V1.5", "Vornak Update v2.16", MessageButtons::OkCancel), c.expected)
            << "input '" << c.input << "'";
        EXPECT_EQ(fake.out.str(), "firmware V1.5\n");
        EXPECT_EQ(fake.err.str().find("[y/N]") != std::string::npos, c.asked) << fake.err.str();
        if (!c.inIsTerminal && !c.assumeYes) {
            EXPECT_NE(fake.err.str().find("pass --yes"), std::string::npos) << fake.err.str();
        }
    }
}

TEST(TerminalWindow, YesAnswers)
{
    for (const char* yes : {"y", "Y", "yes", "Yes", " y\r"})
        EXPECT_TRUE(IsYesAnswer(yes)) << yes;
    for (const char* no : {"", "n", "no", "ye", "yess", "y y"})
        EXPECT_FALSE(IsYesAnswer(no)) << no;
}

TEST(TerminalWindow, MessagesGoToStdoutAndEverythingElseToStderr)
{
    FakeTerminal fake;
    sim::VirtualClock clock;
    TerminalWindow window(fake.terminal(), clock, {.assumeYes = true, .verbose = false});
    window.SetTitle("Vornak Update v2.16 (Device: v1.0)\n");
    window.DebugOutput("m_DevicePath:sim:controller\n");  // not without --verbose
    window.ShowMessage("firmware V1.5", "caption", MessageButtons::OkCancel);
    window.ReportBlockProgress({100, 1, 1, 1, 0});
    window.Note("vornak-flash: a note");
    window.ShowMessage("line one\r\nline two", "caption", MessageButtons::Ok);
    window.ShowMessage("Updated successful!", "caption", MessageButtons::Ok);

    EXPECT_EQ(fake.out.str(), "firmware V1.5\nline one\nline two\nUpdated successful!\n");
    EXPECT_EQ(fake.err.str(), "[##############################] 100%  1/1 blocks  --.- KiB/s  --:-- left\n"
                              "vornak-flash: a note\n");
    EXPECT_EQ(window.title(), "Vornak Update v2.16 (Device: v1.0)\n");
}

TEST(TerminalWindow, DebugOutputOnlyWhenVerboseAndAlwaysAsWholeLines)
{
    FakeTerminal fake;
    sim::VirtualClock clock;
    TerminalWindow window(fake.terminal(), clock, {.assumeYes = false, .verbose = true});
    window.DebugOutput("recv() failed with error code 0x102\n");
    window.DebugOutput("Vornak Update v2.16");  // the removal line has no line end of its own
    EXPECT_EQ(fake.err.str(), "recv() failed with error code 0x102\nVornak Update v2.16\n");
    EXPECT_EQ(fake.out.str(), "");
}

TEST(TerminalWindow, RedrawsTheBarInPlaceOnATerminalAndEndsItBeforeOtherOutput)
{
    FakeTerminal fake({}, false, true);
    sim::VirtualClock clock;
    TerminalWindow window(fake.terminal(), clock, {.assumeYes = true, .verbose = false});
    window.ShowMessage("firmware V1.5", "caption", MessageButtons::OkCancel);  // starts the rate's clock
    clock.SleepMs(1000);
    window.ReportBlockProgress({50, 1, 2, 1, 0});
    clock.SleepMs(1000);
    window.ReportBlockProgress({100, 2, 2, 1, 1});
    window.ShowMessage("Updated successful!", "caption", MessageButtons::Ok);

    EXPECT_EQ(fake.err.str(), "\r[###############...............]  50%  1/2 blocks  4.0 KiB/s  0:01 left"
                              "\r[##############################] 100%  2/2 blocks  4.0 KiB/s  0:00 left"
                              "\n");
    EXPECT_EQ(fake.out.str(), "firmware V1.5\nUpdated successful!\n");
}

TEST(TerminalWindow, PlainProgressLinesWhenStderrIsNoTerminal)
{
    FakeTerminal fake;
    sim::VirtualClock clock;
    TerminalWindow window(fake.terminal(), clock, {.assumeYes = true, .verbose = false});
    for (uint32_t handled = 1; handled <= 40; ++handled)
        window.ReportBlockProgress({static_cast<int>(handled * 100 / 40), handled, 40, handled, 0});
    const std::string err = fake.err.str();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 11) << err;
    EXPECT_EQ(err.find('\r'), std::string::npos);
}

TEST(TerminalWindow, PostedTasksRunOnlyWhenTheMainThreadAsksInOrderAlsoNestedOnes)
{
    FakeTerminal fake;
    sim::VirtualClock clock;
    TerminalWindow window(fake.terminal(), clock, {});
    std::string order;
    std::thread worker([&] {
        window.PostToWindowThread([&] {
            order += 'a';
            window.PostToWindowThread([&] { order += 'c'; });
        });
        window.PostToWindowThread([&] { order += 'b'; });
    });
    worker.join();
    EXPECT_EQ(order, "");
    window.RunPosted();
    EXPECT_EQ(order, "abc");
}

TEST(TerminalWindow, TheFileDialogAnswersWithTheFileOfTheCommandLine)
{
    FakeTerminal fake;
    sim::VirtualClock clock;
    TerminalWindow window(fake.terminal(), clock, {});
    EXPECT_FALSE(window.ChooseFirmwareFile("File type(*.dat)|*.dat||", "/tmp"));
    window.SetChosenFile("/tmp/firmware.dat");
    EXPECT_EQ(window.ChooseFirmwareFile("File type(*.dat)|*.dat||", "/tmp"), "/tmp/firmware.dat");
}

}  // namespace
}  // namespace vornak::cli
