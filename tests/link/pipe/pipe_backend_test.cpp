#include "link/pipe/pipe_backend.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>

#include "link/chid.h"
#include "link/pipe/pipe_script.h"
#include "support/temp_dir.h"

namespace vornak {
namespace {

using testing::Concat;
using testing::FrameBytes;
using testing::IdentityBytes;
using testing::PrintfBytes;

// Short bounds: the children that misbehave cost milliseconds, not seconds.
// Children that write their identity at once get the full identity bound, so
// a loaded machine cannot fail them.
constexpr pipe::PipeTimeouts kSilentChild{.identityMs = 150, .exitWaitMs = 100, .writeMs = 500};
constexpr pipe::PipeTimeouts kQuick{.identityMs = 2000, .exitWaitMs = 2000, .writeMs = 500};
constexpr uint32_t kLongWaitMs = 30000;  // a read that waits this long instead of failing at once hangs the test

const std::vector<uint8_t> kControllerId = IdentityBytes(0x2DC8, 0x3014);

struct IdentityCase {
    const char* name;
    std::string command;
    const char* error;  // part of startError()
};

void PrintTo(const IdentityCase& c, std::ostream* os) { *os << c.name; }

class PipeIdentity : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(PipeIdentity, NoDeviceWithoutAFullIdentityInTime)
{
    PipeBackend backend(GetParam().command, kSilentChild);
    EXPECT_TRUE(backend.EnumerateInterfaces().empty());
    EXPECT_NE(backend.startError().find(GetParam().error), std::string::npos) << backend.startError();
    CHid link(backend);
    EXPECT_EQ(link.IsDevicePresent(), 0);
    OpenError error;
    EXPECT_EQ(backend.OpenInterface(backend.devicePath(), OpenAccess::Write, error), nullptr);
    EXPECT_EQ(error.kind, OpenFailure::NotFound);
}

INSTANTIATE_TEST_SUITE_P(
    Children, PipeIdentity,
    ::testing::Values(IdentityCase{"silent", "sleep 10", "no identity within 150 ms"},
                      IdentityCase{"exits_at_once", "exit 0", "ended before writing its identity"},
                      IdentityCase{"three_bytes_then_exit", PrintfBytes({0xC8, 0x2D, 0x14}),
                                   "ended before writing its identity"},
                      IdentityCase{"three_bytes_then_silent", PrintfBytes({0xC8, 0x2D, 0x14}) + "; sleep 10",
                                   "no identity within"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PipeBackend, ListsTheChildWithItsIdentity)
{
    PipeBackend backend(PrintfBytes(IdentityBytes(0x1234, 0xABCD)) + "; cat >/dev/null", kQuick);
    const std::vector<HidInterface> list = backend.EnumerateInterfaces();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].path, backend.devicePath());
    EXPECT_EQ(list[0].vendorId, 0x1234);
    EXPECT_EQ(list[0].productId, 0xABCD);
    EXPECT_TRUE(backend.startError().empty());
    CHid link(backend);
    EXPECT_EQ(link.IsDevicePresent(), 0) << "not the supported controller";
    EXPECT_NE(link.m_hDevNotify, nullptr) << "the registration is a trivial object";
}

TEST(PipeBackend, EveryWriteIsSixtyFiveBytesOnTheChildsInput)
{
    testing::TempDir dir;
    const std::string received = dir.File("received");
    const uint8_t frame[6] = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};
    const uint8_t shortFrame[2] = {0xB1, 0xB2};
    {
        PipeBackend backend(PrintfBytes(kControllerId) + "; cat > " + received, kQuick);
        CHid link(backend);
        ASSERT_EQ(link.IsDevicePresent(), 1);
        ASSERT_EQ(link.Open(), 1);
        std::array<uint8_t, 64> whole;
        for (size_t i = 0; i < whole.size(); ++i)
            whole[i] = static_cast<uint8_t>(i + 1);
        EXPECT_EQ(link.WriteReport(whole.data(), 0, 64), 1);
        EXPECT_EQ(link.WriteFrame(frame, 6), 1);
        EXPECT_EQ(link.WriteFrame(shortFrame, 2), 1);
        EXPECT_EQ(link.WriteReport(shortFrame, 0, 2), 1);
    }  // the end closes cat's input, so the file is complete
    std::ifstream in(received, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(bytes.size(), 4 * 65u);
    auto report = [&](int k) { return std::vector<uint8_t>(bytes.begin() + 65 * k, bytes.begin() + 65 * (k + 1)); };
    std::vector<uint8_t> expected(65, 0);
    for (int i = 0; i < 64; ++i)
        expected[1 + i] = static_cast<uint8_t>(i + 1);
    EXPECT_EQ(report(0), expected);
    expected.assign(65, 0);
    std::copy(std::begin(frame), std::end(frame), expected.begin() + 1);
    EXPECT_EQ(report(1), expected);
    expected.assign(65, 0);
    expected[1] = 0xB1;
    expected[2] = 0xB2;
    EXPECT_EQ(report(2), expected) << "nothing of the longer frame before it";
    EXPECT_EQ(report(3), expected) << "a short report is zero-filled to 65 bytes";
}

TEST(PipeBackend, AssemblesFramesThatArriveInPieces)
{
    const std::vector<uint8_t> second = FrameBytes(0x02, 0xBB);
    const std::vector<uint8_t> firstHalf(second.begin(), second.begin() + 30);
    const std::vector<uint8_t> secondHalf(second.begin() + 30, second.end());
    // The rest of the second frame comes only after the host has written a report.
    PipeBackend backend(PrintfBytes(Concat({kControllerId, FrameBytes(0x01, 0xAA), firstHalf})) +
                            "; head -c 65 >/dev/null; " + PrintfBytes(Concat({secondHalf, FrameBytes(0x03, 0xCC)})) +
                            "; cat >/dev/null",
                        kQuick);
    CHid link(backend);
    ASSERT_EQ(link.IsDevicePresent(), 1);
    ASSERT_EQ(link.Open(), 1);
    std::array<uint8_t, 64> payload{};
    link.SetTimeout(kLongWaitMs);
    ASSERT_EQ(link.ReadReport(payload.data(), 64), kReadOk);
    EXPECT_EQ(payload[0], 0xAA) << "the report ID 0x01 is dropped";
    EXPECT_EQ(payload[63], 0xAA);
    link.SetTimeout(20);
    payload.fill(0x55);
    EXPECT_EQ(link.ReadReport(payload.data(), 64), kReadTimeout) << "half a frame is no report";
    EXPECT_EQ(payload[0], 0x55);
    const uint8_t nudge[1] = {0};
    ASSERT_EQ(link.WriteFrame(nudge, 1), 1);
    link.SetTimeout(kLongWaitMs);
    ASSERT_EQ(link.ReadReport(payload.data(), 64), kReadOk);
    EXPECT_EQ(payload[0], 0xBB);
    EXPECT_EQ(payload[63], 0xBB);
    ASSERT_EQ(link.ReadReport(payload.data(), 64), kReadOk);
    EXPECT_EQ(payload[0], 0xCC);
}

TEST(PipeBackend, AfterTheChildEndsQueuedFramesComeOutThenEveryReadAndWriteFails)
{
    // Writes its last frame and exits once the host has written a report.
    PipeBackend backend(PrintfBytes(kControllerId) + "; head -c 65 >/dev/null; " + PrintfBytes(FrameBytes(0, 0x42)),
                        kQuick);
    CHid link(backend);
    ASSERT_EQ(link.IsDevicePresent(), 1);
    ASSERT_EQ(link.Open(), 1);
    const uint8_t nudge[1] = {0x05};
    ASSERT_EQ(link.WriteFrame(nudge, 1), 1);
    link.SetTimeout(kLongWaitMs);
    std::array<uint8_t, 64> payload{};
    ASSERT_EQ(link.ReadReport(payload.data(), 64), kReadOk);
    EXPECT_EQ(payload[10], 0x42);
    for (int i = 0; i < 2; ++i) {
        const uint32_t status = link.ReadReport(payload.data(), 64);
        EXPECT_NE(status, kReadOk);
        EXPECT_NE(status, kReadNotOpen);
        EXPECT_NE(status, kReadTimeout);
    }
    EXPECT_EQ(link.WriteFrame(nudge, 1), 0);
    EXPECT_TRUE(backend.EnumerateInterfaces().empty());
    EXPECT_EQ(link.IsDevicePresent(), 0);
}

TEST(PipeBackend, AWriteToAChildThatClosedItsInputFailsWithoutSignal)
{
    // The identity comes only after the input is closed.
    PipeBackend backend("exec 0<&-; " + PrintfBytes(kControllerId) + "; sleep 10",
                        {.identityMs = 2000, .exitWaitMs = 100, .writeMs = 500});
    CHid link(backend);
    ASSERT_EQ(link.IsDevicePresent(), 1);
    ASSERT_EQ(link.Open(), 1);
    const uint8_t frame[1] = {0x05};
    EXPECT_EQ(link.WriteFrame(frame, 1), 0);
    EXPECT_EQ(link.WriteFrame(frame, 1), 0);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0) << "the SIGPIPE of the write was taken back";
}

}  // namespace
}  // namespace vornak
