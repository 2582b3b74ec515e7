#include "link/win32/hid_report_framing.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

namespace vornak {
namespace {

std::array<uint8_t, kReportPayloadSize> Untouched()
{
    std::array<uint8_t, kReportPayloadSize> payload{};
    payload.fill(0xEE);
    return payload;
}

TEST(HidReportFraming, DropsTheReportIdWhateverItsValue)
{
    for (const uint8_t reportId : {uint8_t{0x00}, uint8_t{0x01}, uint8_t{0xFF}}) {
        std::vector<uint8_t> received(kInputReportSize);
        received[0] = reportId;
        std::iota(received.begin() + 1, received.end(), uint8_t{1});
        auto payload = Untouched();
        ASSERT_TRUE(PayloadFromInputReport(received, payload)) << int{reportId};
        for (size_t i = 0; i < payload.size(); ++i)
            EXPECT_EQ(payload[i], i + 1) << "payload byte " << i;
    }
}

TEST(HidReportFraming, RefusesReportsOfAnyOtherLength)
{
    for (const size_t length : {size_t{0}, size_t{1}, kReportPayloadSize, kInputReportSize + 1}) {
        const std::vector<uint8_t> received(length, 0x11);
        auto payload = Untouched();
        EXPECT_FALSE(PayloadFromInputReport(received, payload)) << length << " bytes";
        EXPECT_EQ(payload, Untouched()) << length << " bytes";
    }
}

}  // namespace
}  // namespace vornak
