#include <gtest/gtest.h>

#include "link/fake_backend.h"
#include "procedures/version_query.h"
#include "protocol/report_exchange.h"
#include "sim/virtual_clock.h"
#include "support/recording_window.h"

namespace vornak {
namespace {

using testing::FakeBackend;

class VersionQueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        backend.interfaces = {{"dev/c", kSupportedVendorId, kSupportedProductId}};
        ASSERT_EQ(link.IsDevicePresent(), 1);
    }
    std::string Query() { return QueryDeviceVersion(context); }
    void Reply(uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7)
    {
        std::array<uint8_t, 64> r{};
        r[4] = b4;
        r[5] = b5;
        r[6] = b6;
        r[7] = b7;
        backend.reads.push_back(FakeBackend::Report(r));
    }

    FakeBackend backend;
    CHid link{backend};
    sim::VirtualClock clock;
    ReportExchange exchange{link, clock};
    UpdateState state;
    std::atomic<uint32_t> singleNumber{0};
    testing::RecordingWindow window;
    VersionQueryContext context{window, link, exchange, state, singleNumber, "Vornak Update v2.16"};
};

TEST_F(VersionQueryTest, SendsTheRequestAndDecodesEitherForm)
{
    const struct {
        uint8_t b4, b5, b6, b7;
        const char* title;
        uint32_t single, version, beta;
    } cases[] = {
        {0, 0, 0x1B, 0x80, "Vornak Update v2.16 (Device: v1b)\n", 1, 0x1B, 0},
        {0, 0, 0x2A, 0x85, "Vornak Update v2.16 (Device: v2a beta5)\n", 1, 0x2A, 5},
        {0, 0, 0x01, 0x8F, "Vornak Update v2.16 (Device: v1 betaf)\n", 1, 0x01, 15},
        {0x12, 0x07, 0x99, 0x90, "Vornak Update v2.16 (Device: v12.7)\n", 0, 0x12, 0},
        {0x12, 0x07, 0x99, 0x03, "Vornak Update v2.16 (Device: v12.7 beta3)\n", 0, 0x12, 3},
    };
    for (const auto& c : cases) {
        state.deviceBeta = 0;
        singleNumber = 0;
        backend.written.clear();
        Reply(c.b4, c.b5, c.b6, c.b7);
        EXPECT_EQ(Query(), c.title);
        EXPECT_EQ(singleNumber.load(), c.single);
        EXPECT_EQ(state.deviceVersion.load(), c.version);
        EXPECT_EQ(state.deviceBeta.load(), c.beta);
        ASSERT_EQ(backend.written.size(), 1u);
        std::vector<uint8_t> request(65, 0);
        request[1] = 0x05;
        request[2] = 0x21;
        EXPECT_EQ(backend.written[0], request);
    }
    EXPECT_TRUE(window.buttonEnabled);
}

TEST_F(VersionQueryTest, BetaAndFormCarryOverFromEarlierReplies)
{
    Reply(0, 0, 0x10, 0x83);
    Query();
    Reply(0x10, 0x02, 0, 0x00);  // two-number, no beta
    EXPECT_EQ(Query(), "Vornak Update v2.16 (Device: v10 beta3)\n");
    EXPECT_EQ(singleNumber.load(), 1u);  // never set back by the query
    EXPECT_EQ(state.deviceBeta.load(), 3u);
}

TEST_F(VersionQueryTest, SilentControllerGetsRetryFramesUntilTheQueryGivesUp)
{
    backend.clock = &clock;
    EXPECT_EQ(Query(), "");
    EXPECT_EQ(state.deviceVersion.load(), kVersionNotRead);
    EXPECT_EQ(window.debugLines,
              std::vector<std::string>(kVersionReadAttempts, "recv() failed with error code 0x102\n"));
    ASSERT_EQ(backend.written.size(), 1u + kVersionReadAttempts);
    std::vector<uint8_t> retry(65, 0);
    const uint8_t frame[] = {0x05, 0x00, 0x1D, 0x01, 0x00, 0x00};
    std::copy(std::begin(frame), std::end(frame), retry.begin() + 1);
    EXPECT_EQ(backend.written.back(), retry);
    EXPECT_TRUE(window.Events().empty());  // no title, no button
    EXPECT_EQ(clock.NowMs(), 200u * kVersionReadAttempts);
}

TEST_F(VersionQueryTest, ALateReplyAfterAFailedReadIsStillTaken)
{
    backend.reads.push_back({ReadOutcome::Failed, {}, 0x48F});
    Reply(0x01, 0x02, 0, 0);
    EXPECT_EQ(Query(), "Vornak Update v2.16 (Device: v1.2)\n");
    EXPECT_EQ(window.debugLines, std::vector<std::string>{"recv() failed with error code 0x48f\n"});
}

TEST_F(VersionQueryTest, LinkThatCannotBeOpenedSendsNothing)
{
    backend.openFailures[{"dev/c", OpenAccess::Write}] = OpenFailure::AccessDenied;
    state.deviceVersion = 7;
    EXPECT_EQ(Query(), "");
    EXPECT_EQ(state.deviceVersion.load(), kVersionNotRead);
    EXPECT_TRUE(backend.written.empty());
    EXPECT_TRUE(window.Events().empty());
}

}  // namespace
}  // namespace vornak
