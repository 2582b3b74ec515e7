#include <gtest/gtest.h>

#include <numeric>

#include "link/chid.h"
#include "link/fake_backend.h"

namespace vornak {
namespace {

using testing::FakeBackend;

const HidInterface kController{"dev/controller", kSupportedVendorId, kSupportedProductId};

class CHidTest : public ::testing::Test {
protected:
    void OpenLink()
    {
        backend.interfaces = {kController};
        ASSERT_EQ(link.IsDevicePresent(), 1);
        ASSERT_EQ(link.Open(), 1);
        backend.written.clear();
    }

    FakeBackend backend;
    CHid link{backend};
};

TEST_F(CHidTest, StartsClosedAndRefusesTraffic)
{
    EXPECT_EQ(link.m_nTimeout, 10u);
    EXPECT_EQ(link.m_bNotifyRegistered, 0u);
    EXPECT_TRUE(link.m_DevicePath.empty());
    uint8_t dest[64];
    std::fill(std::begin(dest), std::end(dest), uint8_t{0xAA});
    EXPECT_EQ(link.ReadReport(dest, 64), kReadNotOpen);
    EXPECT_EQ(dest[0], 0xAA);
    const uint8_t payload[64] = {1, 2, 3};
    EXPECT_EQ(link.WriteReport(payload, 0, 64), 0);
    EXPECT_EQ(link.WriteFrame(payload, 6), 0);
    EXPECT_TRUE(backend.written.empty());
    EXPECT_TRUE(backend.reads.empty());
}

TEST_F(CHidTest, WritesPutTheReportIdFirstAndFramesArePaddedWithZeros)
{
    OpenLink();
    uint8_t p[64];
    std::iota(std::begin(p), std::end(p), uint8_t{1});
    ASSERT_EQ(link.WriteReport(p, 0, 64), 1);
    ASSERT_EQ(backend.written.size(), 1u);
    ASSERT_EQ(backend.written[0].size(), 65u);
    EXPECT_EQ(backend.written[0][0], 0x00);
    EXPECT_TRUE(std::equal(std::begin(p), std::end(p), backend.written[0].begin() + 1));

    const uint8_t q[2] = {0xA1, 0xA2};
    ASSERT_EQ(link.WriteFrame(p, 6), 1);
    ASSERT_EQ(link.WriteFrame(q, 2), 1);
    std::vector<uint8_t> expected(65, 0);
    std::copy(std::begin(p), std::begin(p) + 6, expected.begin() + 1);
    EXPECT_EQ(backend.written[1], expected);
    std::vector<uint8_t> second(65, 0);
    second[1] = 0xA1;
    second[2] = 0xA2;
    EXPECT_EQ(backend.written[2], second);  // nothing of the earlier frame left
}

TEST_F(CHidTest, ReadStatusesAndWhatReachesTheCaller)
{
    OpenLink();
    std::array<uint8_t, 64> report{};
    std::iota(report.begin(), report.end(), uint8_t{100});
    backend.reads = {FakeBackend::Report(report), {ReadOutcome::TimedOut, {}, 0},
                     {ReadOutcome::Failed, {}, 0x48F}, {ReadOutcome::Failed, {}, 0x102},
                     FakeBackend::Report(report)};
    uint8_t dest[64] = {};
    EXPECT_EQ(link.ReadReport(dest, 64), kReadOk);
    EXPECT_TRUE(std::equal(report.begin(), report.end(), dest));
    std::fill(std::begin(dest), std::end(dest), uint8_t{0});
    EXPECT_EQ(link.ReadReport(dest, 64), kReadTimeout);
    EXPECT_EQ(link.ReadReport(dest, 64), 0x48Fu);
    // A platform code that would read as success or time-out is reported as a failure.
    EXPECT_EQ(link.ReadReport(dest, 64), kReadFailed);
    EXPECT_EQ(dest[0], 0);
    EXPECT_EQ(link.ReadReport(dest, 0), kReadOk);  // waits, copies nothing
    EXPECT_EQ(dest[0], 0);
    EXPECT_EQ(backend.readTimeouts, std::vector<uint32_t>(5, 200));
}

TEST_F(CHidTest, WriteOnlyWhenTheReadHandleCannotBeOpened)
{
    backend.interfaces = {kController};
    backend.openFailures[{kController.path, OpenAccess::Read}] = OpenFailure::Other;
    ASSERT_EQ(link.IsDevicePresent(), 1);
    EXPECT_EQ(link.Open(), 0);
    EXPECT_EQ(link.m_nTimeout, 10u);
    const uint8_t p[64] = {};
    EXPECT_EQ(link.WriteReport(p, 0, 64), 1);
    uint8_t dest[64];
    EXPECT_EQ(link.ReadReport(dest, 64), kReadNotOpen);
}

TEST_F(CHidTest, ReopenHoldsExactlyOnePairOfHandles)
{
    OpenLink();
    EXPECT_EQ(backend.liveHandles, 2);
    EXPECT_EQ(link.Open(), 1);
    EXPECT_EQ(backend.liveHandles, 2);
}

TEST_F(CHidTest, DiscoveryRecordsTheFirstSupportedControllerAndClosesItsProbe)
{
    backend.interfaces = {{"dev/mouse", 0x845E, 0x0001},
                          {"dev/other-pid", kSupportedVendorId, 0x3015},
                          {"dev/first", kSupportedVendorId, kSupportedProductId},
                          {"dev/second", kSupportedVendorId, kSupportedProductId}};
    std::vector<std::string> debug;
    link.SetDebugOutput([&](const std::string& line) { debug.push_back(line); });
    EXPECT_EQ(link.IsDevicePresent(), 1);
    EXPECT_EQ(link.m_DevicePath, "dev/first");
    EXPECT_EQ(link.deviceRecognised.load(), 1u);
    EXPECT_EQ(debug, std::vector<std::string>{"m_DevicePath:dev/first\n"});
    EXPECT_EQ(backend.liveHandles, 0);
    EXPECT_EQ(backend.opened.size(), 1u);  // only the controller is opened
}

TEST_F(CHidTest, AControllerThatCannotBeOpenedIsPassedOverAndRemembered)
{
    backend.interfaces = {{"dev/locked", kSupportedVendorId, kSupportedProductId},
                          {"dev/open", kSupportedVendorId, kSupportedProductId}};
    backend.openFailures[{"dev/locked", OpenAccess::Probe}] = OpenFailure::AccessDenied;
    EXPECT_EQ(link.IsDevicePresent(), 1);
    EXPECT_EQ(link.m_DevicePath, "dev/open");
    EXPECT_TRUE(link.accessDeniedPath().empty());

    backend.interfaces.pop_back();
    EXPECT_EQ(link.IsDevicePresent(), 0);
    EXPECT_EQ(link.accessDeniedPath(), "dev/locked");
    EXPECT_EQ(link.m_DevicePath, "dev/open");  // a failed search keeps the last path
}

TEST_F(CHidTest, RegistrationIsAttemptedOnceEvenWhenItFails)
{
    backend.registrationFails = true;
    EXPECT_EQ(link.IsDevicePresent(), 0);
    EXPECT_EQ(link.m_bNotifyRegistered, 1u);
    EXPECT_EQ(link.IsDevicePresent(), 0);
    EXPECT_EQ(backend.registrationCalls, 1);
    EXPECT_EQ(link.deviceRecognised.load(), 0u);
    EXPECT_TRUE(link.m_DevicePath.empty());
}

TEST(CHidLifetime, DestructorReleasesTheRegistrationAndHandles)
{
    FakeBackend backend;
    backend.interfaces = {kController};
    {
        CHid never{backend};
    }
    {
        CHid link{backend};
        ASSERT_EQ(link.IsDevicePresent(), 1);
        ASSERT_EQ(link.Open(), 1);
        EXPECT_EQ(backend.liveRegistrations, 1);
    }
    EXPECT_EQ(backend.liveRegistrations, 0);
    EXPECT_EQ(backend.liveHandles, 0);
}

}  // namespace
}  // namespace vornak
