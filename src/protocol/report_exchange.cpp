#include "protocol/report_exchange.h"

namespace vornak {

bool ReportExchange::Send(const CommandReport& request, SendVia via)
{
    if (via == SendVia::HeaderFrame)
        return link_.WriteFrame(request.data(), kHeaderLength) != 0;
    return link_.WriteReport(request.data(), 0, static_cast<uint8_t>(request.size())) != 0;
}

uint32_t ReportExchange::ReadIntoReplyBuffer()
{
    return link_.ReadReport(replyBuffer.data(), static_cast<uint8_t>(replyBuffer.size()));
}

bool ReportExchange::ReadMatches(uint16_t command, uint32_t& status)
{
    status = ReadIntoReplyBuffer();
    return status == kReadOk && ReplyAnswers(replyBuffer, command);
}

bool ReportExchange::SingleRead(const CommandReport& request, SendVia via, uint32_t pauseMs,
                                const std::function<bool(const ReplyReport&)>& extraTest)
{
    Send(request, via);
    if (pauseMs != 0)
        clock_.SleepMs(pauseMs);
    uint32_t status = 0;
    if (!ReadMatches(RequestCommand(request), status))
        return false;
    return !extraTest || extraTest(replyBuffer);
}

bool ReportExchange::UpToTwentyReads(const CommandReport& request, SendVia via)
{
    Send(request, via);
    uint32_t status = 0;
    for (int read = 0; read < kAcknowledgeReads; ++read)
        if (ReadMatches(RequestCommand(request), status))
            return true;
    return false;
}

bool ReportExchange::ReadUntilMatch(const CommandReport& request, SendVia via)
{
    if (!Send(request, via))
        return false;
    const uint64_t start = clock_.NowMs();
    uint32_t status = 0;
    do {
        if (ReadMatches(RequestCommand(request), status))
            return true;
        if (status != kReadOk && status != kReadTimeout)
            return false;  // the link says the device is gone: no reply can come
    } while (clock_.NowMs() - start < kEraseReplyWaitMs);
    return false;
}

}  // namespace vornak
