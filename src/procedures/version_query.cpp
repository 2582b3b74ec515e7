#include "procedures/version_query.h"

#include <array>
#include <cstdio>

#include "protocol/command_report.h"
#include "texts/texts.h"

namespace vornak {
namespace {

constexpr uint8_t kRetryFrame[6] = {0x05, 0x00, 0x1D, 0x01, 0x00, 0x00};
constexpr uint8_t kSingleNumberForm = 0x8;

void DecodeReply(const ReplyReport& reply, VersionQueryContext& c)
{
    const uint8_t form = reply[7];
    if ((form >> 4) == kSingleNumberForm) {
        c.singleNumberVersion = 1;
        c.state.deviceVersion = reply[6];
    } else {
        c.state.deviceVersion = reply[4];
        c.state.deviceVersionMinor = reply[5];
    }
    if ((form & 0x01) != 0)
        c.state.deviceBeta = form & 0x0F;
}

}  // namespace

int SendVersionRequest(CHid& link)
{
    std::array<uint8_t, 64> request{};
    request[0] = kReportMarker;
    request[1] = kVersionRequest;
    return link.WriteReport(request.data(), 0, static_cast<uint8_t>(request.size())) != 0 ? 1 : -1;
}

std::string QueryDeviceVersion(VersionQueryContext& c)
{
    c.state.deviceVersion = kVersionNotRead;
    if (c.link.Open() == 0)
        return {};
    SendVersionRequest(c.link);
    for (int failed = 0; failed < kVersionReadAttempts;) {
        const uint32_t status = c.exchange.ReadIntoReplyBuffer();
        if (status != kReadOk) {
            char line[64];
            std::snprintf(line, sizeof line, "recv() failed with error code 0x%x\n", status);
            c.ops.DebugOutput(line);
            c.link.WriteFrame(kRetryFrame, sizeof kRetryFrame);
            ++failed;
            continue;
        }
        DecodeReply(c.exchange.replyBuffer, c);
        const std::string title =
            VersionTitle(c.productTitle, c.singleNumberVersion.load() != 0, c.state.deviceVersion,
                         c.state.deviceVersionMinor, c.state.deviceBeta);
        c.ops.EnableUpdateButton(true);
        return title;
    }
    return {};
}

}  // namespace vornak
