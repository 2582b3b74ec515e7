#pragma once

#include <cstdint>
#include <functional>

#include "link/chid.h"
#include "link/clock.h"
#include "protocol/command_report.h"

namespace vornak {

// Silence the erase wait accepts before it gives up. A 4 KB SPI-NOR sector
// erase can take 400 ms at worst; 3 s outlasts that with room to spare while
// keeping a vanished controller from stalling the update.
inline constexpr uint32_t kEraseReplyWaitMs = 3000;
inline constexpr int kAcknowledgeReads = 20;

enum class SendVia {
    HeaderFrame,  // WriteFrame with the 17 header bytes
    WholeReport,  // WriteReport with report ID 0 and all 64 bytes
};

// One exchange at a time over the link: send a CommandReport, read replies
// into replyBuffer by one of the three waiting patterns.
class ReportExchange {
public:
    ReportExchange(CHid& link, Clock& clock) : link_(link), clock_(clock) {}

    // Every reply lands here; a failed read leaves it as it was.
    ReplyReport replyBuffer{};

    // Send once, pause, read once; extraTest may add checks of the reply.
    bool SingleRead(const CommandReport& request, SendVia via, uint32_t pauseMs,
                    const std::function<bool(const ReplyReport&)>& extraTest = {});
    // Send once, read up to 20 times until a reply answers.
    bool UpToTwentyReads(const CommandReport& request, SendVia via);
    // Send once; fail at once if the send fails; read until a reply answers,
    // for at most kEraseReplyWaitMs or until the link reports the device gone.
    bool ReadUntilMatch(const CommandReport& request, SendVia via);

    uint32_t ReadIntoReplyBuffer();
    bool Send(const CommandReport& request, SendVia via);
    CHid& link() { return link_; }
    Clock& clock() { return clock_; }

private:
    bool ReadMatches(uint16_t command, uint32_t& status);

    CHid& link_;
    Clock& clock_;
};

inline uint16_t RequestCommand(const CommandReport& request)
{
    // The chunk form has its command in byte 1 alone (byte 2 is the index).
    return request[1] == kWriteChunk ? uint16_t{kWriteChunk}
                                     : static_cast<uint16_t>(request[1] | (request[2] << 8));
}

}  // namespace vornak
