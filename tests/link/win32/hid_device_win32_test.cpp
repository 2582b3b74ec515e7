#include "link/win32/hid_device_win32.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <numeric>
#include <vector>

#include "link/chid.h"
#include "link/win32/hid_backend_win32.h"
#include "link/win32/hid_report_framing.h"
#include "pipe_peer.h"

namespace vornak {
namespace {

using Payload = std::array<uint8_t, kReportPayloadSize>;

// Short enough that a test never waits long, long enough for a report that
// is already queued.
constexpr uint32_t kQuietMs = 20;
constexpr uint32_t kReportDueMs = 5000;

std::vector<uint8_t> InputReport(uint8_t reportId, uint8_t first)
{
    std::vector<uint8_t> report(kInputReportSize);
    report[0] = reportId;
    std::iota(report.begin() + 1, report.end(), first);
    return report;
}

Payload Untouched()
{
    Payload payload{};
    payload.fill(0xEE);
    return payload;
}

Payload PayloadOf(const std::vector<uint8_t>& report)
{
    Payload payload{};
    std::copy(report.begin() + 1, report.end(), payload.begin());
    return payload;
}

class HidDeviceWin32Test : public ::testing::Test {
protected:
    std::unique_ptr<HidDevice> Open(OpenAccess access)
    {
        OpenError error;
        auto device = backend.OpenInterface(peer.path(), access, error);
        EXPECT_TRUE(device) << error.message;
        EXPECT_TRUE(peer.Accept());
        return device;
    }

    HidBackendWin32 backend;
    testing::PipePeer peer;
};

TEST_F(HidDeviceWin32Test, ReadDeliversThePayloadWithoutTheReportId)
{
    auto device = Open(OpenAccess::Read);
    ASSERT_TRUE(device);
    const auto report = InputReport(0x00, 1);
    ASSERT_TRUE(peer.Send(report));
    Payload payload = Untouched();
    const ReadResult result = device->ReadReport(payload, kReportDueMs);
    EXPECT_EQ(result.outcome, ReadOutcome::Report);
    EXPECT_EQ(payload, PayloadOf(report));
}

TEST_F(HidDeviceWin32Test, ReadTimesOutWithoutTouchingThePayloadAndLosesNothing)
{
    auto device = Open(OpenAccess::Read);
    ASSERT_TRUE(device);
    Payload payload = Untouched();
    EXPECT_EQ(device->ReadReport(payload, kQuietMs).outcome, ReadOutcome::TimedOut);
    EXPECT_EQ(payload, Untouched());

    // The cancelled read took nothing: the next report reaches the next read whole.
    const auto report = InputReport(0x00, 100);
    ASSERT_TRUE(peer.Send(report));
    EXPECT_EQ(device->ReadReport(payload, kReportDueMs).outcome, ReadOutcome::Report);
    EXPECT_EQ(payload, PayloadOf(report));
}

TEST_F(HidDeviceWin32Test, ReadRefusesAShortReport)
{
    auto device = Open(OpenAccess::Read);
    ASSERT_TRUE(device);
    ASSERT_TRUE(peer.Send(std::vector<uint8_t>(10, 0x42)));
    Payload payload = Untouched();
    const ReadResult result = device->ReadReport(payload, kReportDueMs);
    EXPECT_EQ(result.outcome, ReadOutcome::Failed);
    EXPECT_EQ(payload, Untouched());
}

TEST_F(HidDeviceWin32Test, ReadFailsAtOnceWhenTheDeviceIsGone)
{
    auto device = Open(OpenAccess::Read);
    ASSERT_TRUE(device);
    peer.Close();
    Payload payload = Untouched();
    // A wait for the whole time-out would end as TimedOut, not Failed.
    const ReadResult result = device->ReadReport(payload, kReportDueMs);
    EXPECT_EQ(result.outcome, ReadOutcome::Failed);
    EXPECT_NE(result.errorCode, kReadOk);
    EXPECT_NE(result.errorCode, kReadNotOpen);
    EXPECT_NE(result.errorCode, kReadTimeout);
    EXPECT_EQ(payload, Untouched());
}

TEST_F(HidDeviceWin32Test, WriteSendsTheReportExactlyAsGiven)
{
    auto device = Open(OpenAccess::Write);
    ASSERT_TRUE(device);
    const auto report = InputReport(0x00, 7);
    ASSERT_TRUE(device->WriteReport(report));
    EXPECT_EQ(peer.Receive(), report);
}

TEST_F(HidDeviceWin32Test, WriteFailsWhenTheDeviceIsGone)
{
    auto device = Open(OpenAccess::Write);
    ASSERT_TRUE(device);
    peer.Close();
    EXPECT_FALSE(device->WriteReport(InputReport(0x00, 7)));
}

// The link above the backend: a full exchange through CHid on the real handles.
TEST_F(HidDeviceWin32Test, LinkWritesSixtyFiveBytesAndReadsSixtyFour)
{
    CHid link(backend);
    link.m_DevicePath = peer.path();
    OpenError error;
    link.m_hWrite = backend.OpenInterface(peer.path(), OpenAccess::Write, error);
    ASSERT_TRUE(link.m_hWrite) << error.message;
    ASSERT_TRUE(peer.Accept());

    Payload command{};
    std::iota(command.begin(), command.end(), uint8_t{1});
    ASSERT_EQ(link.WriteReport(command.data(), 0, 64), 1);
    const std::vector<uint8_t> wire = peer.Receive();
    ASSERT_EQ(wire.size(), kOutputReportSize);
    EXPECT_EQ(wire[0], 0x00);
    EXPECT_TRUE(std::equal(command.begin(), command.end(), wire.begin() + 1));
}

}  // namespace
}  // namespace vornak
