#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "cli/exit_codes.h"
#include "flasher_run.h"
#include "image/firmware_file.h"
#include "image/firmware_header.h"
#include "support/file_lines.h"
#include "support/temp_dir.h"

namespace vornak::cli {
namespace {

using testing::FlasherRun;
using testing::RunInProcess;

class FlasherApp : public ::testing::Test {
protected:
    // A sample file from the flasher's own pack: 4, 2 and 3 blocks by default.
    std::string Pack(const std::string& name, std::vector<std::string> options = {})
    {
        const std::string path = temp.File(name);
        options.insert(options.begin(), {"pack", path});
        const FlasherRun run = RunInProcess(options);
        EXPECT_EQ(run.code, kExitSuccess) << run.err;
        return path;
    }
    // The commands sent to the controller, in order, from a trace file.
    std::vector<std::string> SentCommands(const std::string& trace)
    {
        std::vector<std::string> sent;
        for (const std::string& line : vornak::testing::FileLines(trace)) {
            if (line.size() > 20 && line.compare(15, 5, "out  ") == 0)
                sent.push_back(line.substr(20, line.find(' ', 20) - 20));
        }
        return sent;
    }

    vornak::testing::TempDir temp;
};

TEST_F(FlasherApp, WrongArgumentsAreUsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"update"},
        {"update", "f.dat", "--form", "three"},
        {"update", "f.dat", "--sim-silent-version"},  // a simulator knob without --simulate
        {"detect", "--simulate", "--device-cmd", "vornak-sim"},
        {"info", "a.dat", "b.dat"},
        {"pack", "o.dat", "--sizes", "1,2"},
        {"pack", "o.dat", "--sizes", "1,2,99999999"},
        {"pack", "o.dat", "--pid", "pid"},
    };
    for (const std::vector<std::string>& args : cases) {
        const FlasherRun run = RunInProcess(args);
        EXPECT_EQ(run.code, kExitUsage) << ::testing::PrintToString(args) << run.err;
        EXPECT_FALSE(run.err.empty()) << ::testing::PrintToString(args);
    }
}

TEST_F(FlasherApp, HelpAndVersionAsUsersExpect)
{
    FlasherRun run = RunInProcess({"--help"});
    EXPECT_EQ(run.code, kExitSuccess);
    for (const char* part : {"info", "detect", "update", "pack", "Exit codes:", "5  cancelled by the user"})
        EXPECT_NE(run.out.find(part), std::string::npos) << part << "\n" << run.out;

    run = RunInProcess({"update", "--help"});
    EXPECT_EQ(run.code, kExitSuccess);
    for (const char* part : {"--simulate", "--device-cmd", "--trace", "--yes", "--form", "Exit codes:"})
        EXPECT_NE(run.out.find(part), std::string::npos) << part << "\n" << run.out;

    run = RunInProcess({"--version"});
    EXPECT_EQ(run.code, kExitSuccess);
    EXPECT_EQ(run.out, "vornak-flash 2.16.0 (Vornak Update v2.16)\n");
}

TEST_F(FlasherApp, InfoAcceptsOnlyAWholeFileForThisController)
{
    const std::string valid = Pack("valid.dat");
    const std::string foreign = Pack("foreign.dat", {"--pid", "0x2010"});
    const std::string truncated = Pack("truncated.dat");
    std::filesystem::resize_file(truncated, std::filesystem::file_size(truncated) - 1);
    const std::string headerCut = Pack("header-cut.dat");
    std::filesystem::resize_file(headerCut, 28 + 16384 + 10);
    const std::string tiny = temp.File("tiny.dat");
    std::ofstream(tiny) << "twenty bytes of text";

    struct Case {
        std::string path;
        int code;
        std::string problem;  // the one line on stderr
    };
    const Case cases[] = {
        {valid, kExitSuccess, ""},
        {foreign, kExitInvalidFile, foreign + ": wrong pid: not a file for this controller (pid 0x200F)"},
        {truncated, kExitInvalidFile, truncated + ": section 3 data beyond the end of the file"},
        {headerCut, kExitInvalidFile, headerCut + ": section 2 header beyond the end of the file"},
        {tiny, kExitInvalidFile, tiny + ": file too short: fewer than 28 bytes"},
        {temp.File("missing.dat"), kExitInvalidFile, "cannot open " + temp.File("missing.dat") +
                                                         ": No such file or directory"},
    };
    for (const Case& c : cases) {
        const FlasherRun run = RunInProcess({"info", c.path});
        EXPECT_EQ(run.code, c.code) << c.path << "\n" << run.err;
        EXPECT_EQ(run.err, c.problem.empty() ? "" : "vornak-flash: " + c.problem + "\n");
    }
}

TEST_F(FlasherApp, InfoShowsSectionsVersionsAndBlocksOfBothForms)
{
    const std::string path =
        Pack("beta.dat", {"--sizes", "8200,0,4096", "--versions", "2,17,300", "--betas", "0x1f,0,0xa",
                          "--addresses", "0,0x40000,0x8000"});
    const FlasherRun run = RunInProcess({"info", path});
    EXPECT_EQ(run.code, kExitSuccess) << run.err;
    const std::string expected =
        path + ": 12380 bytes\n"
        "section 1: version 2, beta 0x1f, flash address 0x00000000, size 8200, pid 0x200f\n"
        "section 2: version 17, beta 0 (release), flash address 0x00040000, size 0, pid 0x200f\n"
        "section 3: version 300, beta 0xa, flash address 0x00008000, size 4096, pid 0x200f\n"
        "two-number form: firmware V2.17 beta1f\n"
        "  section 1 image: 8200 bytes from file offset 28, 3 blocks of 4096 at flash 0x00000000..0x00002fff\n"
        "  section 2 image: empty, no blocks\n"
        "single-number form: firmware V300 betaa\n"
        "  section 3 image: 4096 bytes from file offset 8284, 1 block of 4096 at flash 0x00008000..0x00008fff\n"
        "valid firmware file for this controller (pid 0x200f)\n";
    EXPECT_EQ(run.out, expected);
}

TEST_F(FlasherApp, InfoSaysWhichFormCannotBeWritten)
{
    const std::string path = Pack("no-section3.dat", {"--sizes", "4096,4096,0"});
    const FlasherRun run = RunInProcess({"info", path});
    EXPECT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_NE(run.out.find("single-number form: firmware V30\n  not writable in this form: section 3 carries no data\n"),
              std::string::npos)
        << run.out;
}

TEST_F(FlasherApp, PackWritesTheGivenHeadersAndData)
{
    const std::string data2 = temp.File("section2.bin");
    std::ofstream(data2, std::ios::binary) << "abcdefgh";
    const std::string path = Pack("packed.dat", {"--sizes", "100,5,7", "--versions", "3,4,5", "--betas", "1,0,3",
                                                 "--addresses", "0x10,0x2000,0x3000", "--pid", "0x1234",
                                                 "--data2", data2});
    FirmwareFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(file.Size(), 3u * 28 + 100 + 8 + 7);
    const uint64_t offsets[3] = {0, 28 + 100, 56 + 108};
    const uint32_t sizes[3] = {100, 8, 7};
    const uint16_t betas[3] = {1, 0, 3};
    for (int s = 0; s < 3; ++s) {
        std::array<uint8_t, kSectionHeaderSize> bytes{};
        ASSERT_EQ(file.ReadAt(offsets[s], bytes), bytes.size());
        const zr_firmware_header h = zr_firmware_header::Decode(bytes);
        EXPECT_EQ(h.version, 3 + s);
        EXPECT_EQ(h.beta, betas[s]);
        EXPECT_EQ(h.flashAddress, s == 0 ? 0x10u : 0x1000u * (s + 1));
        EXPECT_EQ(h.fileContent, sizes[s]);
        EXPECT_EQ(h.pid, 0x1234u);
    }
    std::array<uint8_t, 8> section2{};
    file.ReadAt(offsets[1] + 28, section2);
    EXPECT_EQ(std::string(section2.begin(), section2.end()), "abcdefgh");
}

TEST_F(FlasherApp, PackDataFollowsTheSeed)
{
    auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const std::string a = bytes(Pack("a.dat", {"--seed", "7"}));
    EXPECT_EQ(a, bytes(Pack("b.dat", {"--seed", "7"})));
    EXPECT_NE(a, bytes(Pack("c.dat", {"--seed", "8"})));
}

TEST_F(FlasherApp, PackRefusesDataItCannotRead)
{
    const FlasherRun run = RunInProcess({"pack", temp.File("o.dat"), "--data1", temp.File("none.bin")});
    EXPECT_EQ(run.code, kExitInvalidFile);
    EXPECT_TRUE(run.ErrHas("none.bin: No such file or directory")) << run.err;
}

// The update in process, on the simulated controller and a virtual clock.
class FlasherUpdate : public FlasherApp {
protected:
    FlasherRun Update(std::vector<std::string> options, const std::string& file, const std::string& input = {},
                      bool inIsTerminal = false)
    {
        options.insert(options.begin(), {"update", file, "--trace", trace});
        return RunInProcess(options, input, inIsTerminal);
    }
    std::string trace = temp.File("trace.txt");
    std::string flash = "--simulate=" + temp.File("flash.bin");
};

TEST_F(FlasherUpdate, WritesEveryBlockFirstAndNothingTheSecondTime)
{
    const std::string file = Pack("sample.dat");
    FlasherRun run = Update({"--yes", flash}, file);
    EXPECT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "firmware V1.5\nUpdated successful!\n");
    EXPECT_TRUE(run.ErrHas("vornak-flash: 6 of 6 blocks written, 0 already matched\n")) << run.err;
    EXPECT_TRUE(run.ErrHas("[##############################] 100%  6/6 blocks")) << run.err;

    run = Update({"--yes", flash}, file);
    EXPECT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.LastLine(), "Updated successful!");
    EXPECT_TRUE(run.ErrHas("vornak-flash: 0 of 6 blocks written, 6 already matched\n")) << run.err;
    for (const std::string& command : SentCommands(trace))
        EXPECT_TRUE(command != "EraseBlock" && command != "WritePiece" && command != "WriteChunk") << command;
}

TEST_F(FlasherUpdate, AsksOnATerminalAndRefusesWithoutOne)
{
    const std::string file = Pack("sample.dat");
    struct Case {
        std::string input;
        bool terminal;
        int code;
    };
    const Case cases[] = {{"y\n", true, kExitSuccess}, {"n\n", true, kExitCancelled}, {"y\n", false, kExitCancelled}};
    for (const Case& c : cases) {
        const FlasherRun run = Update({"--simulate"}, file, c.input, c.terminal);
        EXPECT_EQ(run.code, c.code) << c.input << run.err;
        if (c.code == kExitCancelled) {
            EXPECT_EQ(run.out, "firmware V1.5\n");
            // Cancelled before the flash layout was asked for: only the version query went out.
            for (const std::string& command : SentCommands(trace))
                EXPECT_TRUE(command == "VersionRequest") << command;
        }
    }
}

TEST_F(FlasherUpdate, WritesSectionThreeToASingleNumberController)
{
    const std::string file = Pack("sample.dat");
    const FlasherRun run = Update({"--yes", "--simulate", "--sim-single-number"}, file);
    EXPECT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "firmware V30\nUpdated successful!\n");
    EXPECT_TRUE(run.ErrHas("3 of 3 blocks written")) << run.err;
}

TEST_F(FlasherUpdate, ASilentControllerNeedsTheFormSaid)
{
    const std::string file = Pack("sample.dat");
    FlasherRun run = Update({"--yes", "--simulate", "--sim-silent-version"}, file);
    EXPECT_EQ(run.code, kExitUsage);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.ErrHas("did not report its firmware version")) << run.err;
    EXPECT_TRUE(run.ErrHas("--form single")) << run.err;

    run = Update({"--yes", "--simulate", "--sim-silent-version", "--form", "single"}, file);
    EXPECT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "firmware V30\nUpdated successful!\n");

    run = Update({"--yes", "--simulate", "--sim-silent-version", "--form", "two"}, file);
    EXPECT_EQ(run.code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "firmware V1.5\nUpdated successful!\n");
}

TEST_F(FlasherUpdate, AFormThatContradictsTheControllerIsRefused)
{
    const std::string file = Pack("sample.dat");
    const FlasherRun run = Update({"--yes", "--simulate", "--sim-single-number", "--form", "two"}, file);
    EXPECT_EQ(run.code, kExitUsage);
    EXPECT_TRUE(run.ErrHas("takes the single-number form")) << run.err;
}

TEST_F(FlasherUpdate, AControllerThatVanishesFailsTheUpdate)
{
    const std::string file = Pack("sample.dat");
    const FlasherRun run = Update({"--yes", "--simulate", "--sim-vanish-after", "40"}, file);
    EXPECT_EQ(run.code, kExitUpdateFailed) << run.err;
    EXPECT_EQ(run.LastLine(), "Updated failed!");
}

TEST_F(FlasherUpdate, RefusedFilesSendNothingToTheController)
{
    const std::string foreign = Pack("foreign.dat", {"--pid", "0x2010"});
    const std::string truncated = Pack("truncated.dat");
    std::filesystem::resize_file(truncated, std::filesystem::file_size(truncated) - 100);
    const std::string tiny = temp.File("tiny.dat");
    std::ofstream(tiny) << "short";
    struct Case {
        std::string file;
        std::string out;  // what the window would show
        std::string why;
    };
    const Case cases[] = {
        {foreign, "", "not a file for this controller (pid 0x2010, this controller takes 0x200f)"},
        {truncated, "文件不匹配\n", "section 3 data beyond the end of the file"},
        {tiny, "文件不匹配\n", "shorter than a section header (28 bytes)"},
    };
    for (const Case& c : cases) {
        const FlasherRun run = Update({"--yes", "--simulate"}, c.file);
        EXPECT_EQ(run.code, kExitInvalidFile) << c.file << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_TRUE(run.ErrHas(c.file + ": " + c.why)) << run.err;
        EXPECT_EQ(SentCommands(trace), std::vector<std::string>{"VersionRequest"});
    }
}

TEST_F(FlasherUpdate, AMissingFileIsRefusedBeforeAnyDevice)
{
    const FlasherRun run = Update({"--yes", "--simulate"}, temp.File("missing.dat"));
    EXPECT_EQ(run.code, kExitInvalidFile);
    EXPECT_TRUE(run.ErrHas("missing.dat: No such file or directory")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(trace));
}

TEST_F(FlasherUpdate, AControllerThatCannotBeOpenedIsToldApart)
{
    const std::string file = Pack("sample.dat");
    const FlasherRun run = Update({"--yes", "--simulate", "--sim-denied"}, file);
    EXPECT_EQ(run.code, kExitNoController);
    EXPECT_TRUE(run.ErrHas("attached at sim:controller but cannot be opened: permission denied")) << run.err;
    EXPECT_TRUE(run.ErrHas("Hint: ")) << run.err;
}

TEST_F(FlasherApp, DetectShowsPathAndVersionTitle)
{
    struct Case {
        std::vector<std::string> options;
        int code;
        std::string out;
        std::string err;  // a part of it
    };
    const Case cases[] = {
        {{}, kExitSuccess, "sim:controller\nVornak Update v2.16 (Device: v1.0)\n", ""},
        {{"--sim-single-number"}, kExitSuccess, "sim:controller\nVornak Update v2.16 (Device: v1)\n", ""},
        {{"--sim-silent-version"}, kExitSuccess, "sim:controller\nVornak Update v2.16\n",
         "did not report its firmware version"},
        {{"--sim-denied"}, kExitNoController, "", "cannot be opened: permission denied"},
        {{"--sim-silent-version", "--verbose"}, kExitSuccess, "sim:controller\nVornak Update v2.16\n",
         "recv() failed with error code 0x102"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"detect", "--simulate"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const FlasherRun run = RunInProcess(args);
        EXPECT_EQ(run.code, c.code) << ::testing::PrintToString(c.options) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_TRUE(run.ErrHas(c.err)) << run.err;
    }
}

}  // namespace
}  // namespace vornak::cli
