// vornak-flash as a user runs it: a process with real standard streams, the
// steady clock and, over the pipe, vornak-sim as the device. Each successful
// update costs the 2 s pause before EndUpdate, so the cases are few.
#include <cctype>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "cli/exit_codes.h"
#include "process_runner.h"
#include "support/temp_dir.h"

namespace vornak::cli {
namespace {

using testing::ProcessResult;
using testing::RunProgram;

class FlasherProcess : public ::testing::Test {
protected:
    ProcessResult Flash(std::vector<std::string> args)
    {
        args.insert(args.begin(), VORNAK_FLASH_PATH);
        return RunProgram(args, folder);
    }
    std::string Pack(const std::string& name, std::vector<std::string> options = {})
    {
        const std::string path = temp.File(name);
        options.insert(options.begin(), {"pack", path});
        const ProcessResult run = Flash(options);
        EXPECT_EQ(run.code, kExitSuccess) << run.err;
        return path;
    }
    // The trace's report lines as (direction, command); every other line is
    // the legend or an event.
    std::vector<std::pair<std::string, std::string>> Reports()
    {
        std::vector<std::pair<std::string, std::string>> reports;
        std::ifstream in(trace);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("#", 0) == 0 || line.find(" ms  --   ") == kTimeColumn)
                continue;
            EXPECT_EQ(line.find(" ms  "), kTimeColumn) << line;
            const std::string direction = line.substr(kDirectionColumn, 3);
            EXPECT_TRUE(direction == "out" || direction == "in ") << line;
            const size_t nameEnd = line.find(' ', kNameColumn);
            EXPECT_TRUE(IsPayloadHex(line.substr(line.size() - kPayloadHexLength))) << line;
            reports.emplace_back(direction, line.substr(kNameColumn, nameEnd - kNameColumn));
        }
        return reports;
    }
    static bool IsPayloadHex(const std::string& text)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            const bool ok = i % 3 == 2 ? text[i] == ' ' : std::isxdigit(static_cast<unsigned char>(text[i])) != 0;
            if (!ok)
                return false;
        }
        return text.size() == kPayloadHexLength;
    }
    static constexpr size_t kTimeColumn = 10;       // "%10llu ms  "
    static constexpr size_t kDirectionColumn = 15;
    static constexpr size_t kNameColumn = 20;
    static constexpr size_t kPayloadHexLength = 64 * 3 - 1;

    size_t CountSent(const std::string& command)
    {
        size_t n = 0;
        for (const auto& [direction, name] : Reports())
            n += direction == "out" && name == command;
        return n;
    }

    vornak::testing::TempDir temp;
    std::string folder = temp.File("");
    std::string trace = temp.File("trace.txt");
    std::string flash = temp.File("flash.bin");
};

// The demo's two runs: a full write, then a run that finds every block in place.
TEST_F(FlasherProcess, SimulatedUpdateWritesOnceThenNothingAndTracesEveryReport)
{
    const std::string file = Pack("sample.dat");
    ProcessResult run = Flash({"update", "--yes", "--simulate=" + flash, "--trace", trace, file});
    ASSERT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "firmware V1.5\nUpdated successful!\n");
    EXPECT_TRUE(run.ErrHas("] 100%  6/6 blocks")) << run.err;
    EXPECT_TRUE(run.ErrHas("vornak-flash: 6 of 6 blocks written, 0 already matched")) << run.err;
    // 6 blocks of 67 chunks; every request answered, so the trace pairs them.
    EXPECT_EQ(CountSent("WriteChunk"), 6u * 67);
    EXPECT_EQ(CountSent("EraseBlock"), 6u);
    EXPECT_EQ(CountSent("EndUpdate"), 1u);
    const auto reports = Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front(), (std::pair<std::string, std::string>{"out", "VersionRequest"}));
    EXPECT_EQ(reports.back(), (std::pair<std::string, std::string>{"in ", "EndUpdate"}));

    run = Flash({"update", "--yes", "--simulate=" + flash, "--trace", trace, file});
    ASSERT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.LastLine(), "Updated successful!");
    EXPECT_TRUE(run.ErrHas("vornak-flash: 0 of 6 blocks written, 6 already matched")) << run.err;
    EXPECT_EQ(CountSent("EraseBlock") + CountSent("WritePiece") + CountSent("WriteChunk"), 0u);
}

TEST_F(FlasherProcess, SingleNumberControllerGetsSectionThree)
{
    const std::string file = Pack("sample.dat");
    const ProcessResult run = Flash({"update", "-y", "--simulate", "--sim-single-number", file});
    ASSERT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "firmware V30\nUpdated successful!\n");
    EXPECT_TRUE(run.ErrHas("3 of 3 blocks written")) << run.err;
}

// The exit codes of the flasher as scripts see them, one case per code at least.
TEST_F(FlasherProcess, ExitCodes)
{
    const std::string file = Pack("sample.dat");
    const std::string foreign = Pack("foreign.dat", {"--pid", "0x2010"});
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string err;  // a part of standard error
    };
    const Case cases[] = {
        {{"--help"}, kExitSuccess, ""},
        {{"--version"}, kExitSuccess, ""},
        {{"info", file}, kExitSuccess, ""},
        {{"info", file, "--frobnicate"}, kExitUsage, "--frobnicate"},
        {{"update", "-y", "--simulate", "--sim-silent-version", file}, kExitUsage, "--form"},
        {{"detect", "--simulate", "--sim-denied"}, kExitNoController, "permission denied"},
        {{"info", foreign}, kExitInvalidFile, "wrong pid"},
        {{"update", "-y", "--simulate", temp.File("missing.dat")}, kExitInvalidFile, "No such file"},
        // Standard input is /dev/null: no terminal to ask on.
        {{"update", "--simulate", file}, kExitCancelled, "pass --yes"},
        // kExitUpdateFailed: VanishedControllerFailsInBoundedTime.
    };
    for (const Case& c : cases) {
        const ProcessResult run = Flash(c.args);
        EXPECT_EQ(run.code, c.code) << ::testing::PrintToString(c.args) << "\n" << run.err;
        EXPECT_TRUE(run.ErrHas(c.err)) << run.err;
    }
}

TEST_F(FlasherProcess, VanishedControllerFailsInBoundedTime)
{
    const std::string file = Pack("sample.dat");
    const ProcessResult run = Flash({"update", "-y", "--simulate", "--sim-vanish-after", "40", file});
    EXPECT_EQ(run.code, kExitUpdateFailed) << run.err;
    EXPECT_EQ(run.LastLine(), "Updated failed!");
}

TEST_F(FlasherProcess, RefusedFileSendsNothingButTheVersionQuery)
{
    const std::string foreign = Pack("foreign.dat", {"--pid", "0x2010"});
    const ProcessResult run = Flash({"update", "-y", "--simulate", "--trace", trace, foreign});
    EXPECT_EQ(run.code, kExitInvalidFile) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.ErrHas("not a file for this controller (pid 0x2010")) << run.err;
    const auto reports = Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], (std::pair<std::string, std::string>{"out", "VersionRequest"}));
}

TEST_F(FlasherProcess, SilentVersionQueryIsRetriedThenTheUpdateRefused)
{
    const std::string file = Pack("sample.dat");
    const ProcessResult run = Flash({"update", "-y", "--simulate", "--sim-silent-version", "--trace", trace, file});
    EXPECT_EQ(run.code, kExitUsage) << run.err;
    EXPECT_TRUE(run.ErrHas("did not report its firmware version")) << run.err;
    // The request, then one retry frame per failed read.
    EXPECT_EQ(CountSent("VersionRequest"), 1u);
    EXPECT_EQ(CountSent("-"), 5u);
}

// vornak-sim as a separate process over the pipe protocol.
class FlasherOverPipe : public FlasherProcess {
protected:
    void SetUp() override
    {
        if (std::string(VORNAK_SIM_PATH).empty())
            GTEST_SKIP() << "this build has no pipe backend or no vornak-sim";
    }
    std::string Device(const std::string& options) { return std::string(VORNAK_SIM_PATH) + " " + options; }
};

TEST_F(FlasherOverPipe, UpdateWritesOnceThenNothing)
{
    const std::string file = Pack("sample.dat");
    const std::string device = Device("--flash '" + flash + "'");
    ProcessResult run = Flash({"update", "--yes", "--device-cmd", device, "--trace", trace, file});
    ASSERT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "firmware V1.5\nUpdated successful!\n");
    EXPECT_TRUE(run.ErrHas("6 of 6 blocks written, 0 already matched")) << run.err;
    EXPECT_EQ(CountSent("WriteChunk"), 6u * 67);

    run = Flash({"update", "--yes", "--device-cmd", device, file});
    ASSERT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.LastLine(), "Updated successful!");
    EXPECT_TRUE(run.ErrHas("0 of 6 blocks written, 6 already matched")) << run.err;
}

TEST_F(FlasherOverPipe, DetectShowsTheDeviceAndItsVersion)
{
    const ProcessResult run = Flash({"detect", "--device-cmd", Device("--single-number --version 27 --beta 5")});
    ASSERT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "pipe:" + Device("--single-number --version 27 --beta 5") +
                           "\nVornak Update v2.16 (Device: v1b beta5)\n");
}

// A device process that exits in the middle: the writes hit a closed pipe,
// which must fail the update, not kill the flasher with SIGPIPE.
TEST_F(FlasherOverPipe, DeviceThatExitsMidUpdateFailsIt)
{
    const std::string file = Pack("sample.dat");
    const ProcessResult run = Flash({"update", "-y", "--device-cmd", Device("--vanish-after 40"), file});
    EXPECT_EQ(run.code, kExitUpdateFailed) << run.err;
    EXPECT_EQ(run.LastLine(), "Updated failed!");
}

TEST_F(FlasherOverPipe, SilentDeviceNeedsTheFormAndThenTakesIt)
{
    const std::string file = Pack("sample.dat");
    ProcessResult run = Flash({"update", "-y", "--device-cmd", Device("--silent-version"), file});
    EXPECT_EQ(run.code, kExitUsage) << run.err;
    run = Flash({"update", "-y", "--form", "single", "--device-cmd", Device("--silent-version --single-number"), file});
    EXPECT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "firmware V30\nUpdated successful!\n");
}

TEST_F(FlasherOverPipe, NoControllerWhenTheDeviceIsAnotherOrNone)
{
    for (const std::string& command : {Device("--pid 0x1234"), std::string("exit 0")}) {
        const ProcessResult run = Flash({"detect", "--device-cmd", command});
        EXPECT_EQ(run.code, kExitNoController) << command << "\n" << run.err;
        EXPECT_TRUE(run.ErrHas("no controller found")) << run.err;
    }
}

}  // namespace
}  // namespace vornak::cli
