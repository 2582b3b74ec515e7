#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/trace/trace_backend.h"
#include "link/trace/trace_format.h"
#include "protocol/command_report.h"
#include "sim/sim_backend.h"
#include "sim/virtual_clock.h"
#include "support/file_lines.h"
#include "support/temp_dir.h"

namespace vornak {
namespace {

std::vector<uint8_t> Payload(std::initializer_list<uint8_t> head)
{
    std::vector<uint8_t> payload(kReportPayloadSize, 0);
    std::copy(head.begin(), head.end(), payload.begin());
    return payload;
}

TEST(TraceFormat, NamesTheCommandOfRequestsAndReplies)
{
    struct Case {
        TraceDirection direction;
        std::vector<uint8_t> payload;
        std::string name;
    };
    const Case cases[] = {
        {TraceDirection::Out, Payload({0x05, 0xC3}), "CompareBlock"},
        {TraceDirection::Out, Payload({0x05, 0x0B, 0x07}), "WriteChunk"},
        {TraceDirection::Out, Payload({0x05, 0x21}), "VersionRequest"},
        // The version query's retry frame carries no command code.
        {TraceDirection::Out, Payload({0x05, 0x00, 0x1D, 0x01}), "-"},
        {TraceDirection::Out, Payload({0x01, 0xC3}), "-"},
        {TraceDirection::In, Payload({0x00, 0x05, 0x00, 0x00, 0x04}), "EraseBlock"},
        {TraceDirection::In, Payload({0x00, 0x05, 0x00, 0x00, 0xC1}), "GetFlashLayout"},
        // A version reply, or noise, has no reply header.
        {TraceDirection::In, Payload({0x01, 0x02, 0x00, 0x00, 0x04}), "-"},
        {TraceDirection::In, Payload({0x00, 0x05, 0x00, 0x00, 0x04, 0x01}), "-"},
        {TraceDirection::In, Payload({0x00, 0x05, 0x00, 0x00, 0x99}), "-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TraceCommandName(c.direction, c.payload), c.name) << FormatTraceReport(0, c.direction, c.payload);
}

TEST(TraceFormat, OneLinePerReportWithTimeDirectionNameAndAllBytes)
{
    std::vector<uint8_t> payload = Payload({0x05, 0x04});
    payload[63] = 0xAB;
    const std::string line = FormatTraceReport(1234, TraceDirection::Out, payload);
    const std::string start = "      1234 ms  out  EraseBlock      05 04 00";
    EXPECT_EQ(line.substr(0, start.size()), start);
    EXPECT_EQ(line.substr(line.size() - 5), "00 ab");
    EXPECT_EQ(line.find('\n'), std::string::npos);
    // 64 bytes of two digits, one blank between them.
    EXPECT_EQ(line.size(), start.size() - 8 + 64 * 3 - 1);

    EXPECT_EQ(FormatTraceReport(7, TraceDirection::In, Payload({0x00, 0x05, 0x00, 0x00, 0xC4})).substr(0, 34),
              "         7 ms  in   WriteImageInfo");
    EXPECT_EQ(FormatTraceEvent(12, "read timed out after 200 ms"), "        12 ms  --   read timed out after 200 ms");
}


// The decorator in front of the simulated controller: every report, open and
// time-out lands in the file, and what passes through is unchanged.
class TraceBackendTest : public ::testing::Test {
protected:
    sim::VirtualClock clock;
    sim::SimulatedController controller;
    sim::SimBackend inner{controller, clock};
    testing::TempDir temp;
    std::string path = temp.File("trace.txt");
    std::string error;
    std::unique_ptr<TraceLog> log = TraceLog::Create(path, clock, error);
    TraceBackend backend{inner, *log};
};

TEST_F(TraceBackendTest, TracesAVersionExchangeAndPassesItThrough)
{
    ASSERT_TRUE(log) << error;
    ASSERT_EQ(backend.EnumerateInterfaces().size(), 1u);
    OpenError openError;
    std::unique_ptr<HidDevice> device = backend.OpenInterface(sim::SimBackend::kDevicePath, OpenAccess::Write, openError);
    ASSERT_TRUE(device);

    std::array<uint8_t, kOutputReportSize> request{};
    request[1] = kReportMarker;
    request[2] = kVersionRequest;
    clock.SleepMs(5);
    ASSERT_TRUE(device->WriteReport(request));
    std::array<uint8_t, kReportPayloadSize> reply{};
    ASSERT_EQ(device->ReadReport(reply, 200).outcome, ReadOutcome::Report);
    EXPECT_EQ(reply[4], controller.config().version.version);  // the two-number reply, unchanged
    EXPECT_EQ(device->ReadReport(reply, 200).outcome, ReadOutcome::TimedOut);
    device.reset();

    const std::vector<std::string> lines = vornak::testing::FileLines(path);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], TraceLegend());
    EXPECT_EQ(lines[1], FormatTraceEvent(0, "open write handle of sim:controller"));
    EXPECT_EQ(lines[2], FormatTraceReport(5, TraceDirection::Out, std::span(request).subspan(1)));
    EXPECT_EQ(lines[3], FormatTraceReport(5, TraceDirection::In, reply));
    EXPECT_EQ(lines[4], FormatTraceEvent(205, "read timed out after 200 ms"));
    EXPECT_EQ(lines[5], FormatTraceEvent(205, "close write handle of sim:controller"));
}

TEST_F(TraceBackendTest, TracesFailedOpensAndAGoneDevice)
{
    ASSERT_TRUE(log) << error;
    inner.DenyAccess(true);
    OpenError openError;
    EXPECT_FALSE(backend.OpenInterface(sim::SimBackend::kDevicePath, OpenAccess::Probe, openError));
    EXPECT_EQ(openError.kind, OpenFailure::AccessDenied);  // the reason reaches discovery unchanged
    inner.DenyAccess(false);

    std::unique_ptr<HidDevice> device = backend.OpenInterface(sim::SimBackend::kDevicePath, OpenAccess::Read, openError);
    ASSERT_TRUE(device);
    inner.Unplug();
    std::array<uint8_t, kReportPayloadSize> reply{};
    const ReadResult result = device->ReadReport(reply, 200);
    EXPECT_EQ(result.outcome, ReadOutcome::Failed);
    EXPECT_FALSE(device->WriteReport(std::array<uint8_t, kOutputReportSize>{}));

    const std::vector<std::string> lines = vornak::testing::FileLines(path);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], FormatTraceEvent(0, "open probe handle of sim:controller failed: open sim:controller: "
                                            "Permission denied"));
    EXPECT_EQ(lines[2], FormatTraceEvent(0, "open read handle of sim:controller"));
    EXPECT_EQ(lines[3], FormatTraceEvent(0, "read failed with error 0x48f"));
    EXPECT_EQ(lines[4].substr(15, 8), "out  -  ");
    EXPECT_EQ(lines[5], FormatTraceEvent(0, "write failed on read handle of sim:controller"));
}

TEST(TraceLog, RefusesAFileThatCannotBeCreatedAndSaysWhy)
{
    sim::VirtualClock clock;
    std::string error;
    EXPECT_FALSE(TraceLog::Create("/nonexistent-folder/trace.txt", clock, error));
    EXPECT_NE(error.find("open /nonexistent-folder/trace.txt: No such file or directory"), std::string::npos)
        << error;
}

}  // namespace
}  // namespace vornak
