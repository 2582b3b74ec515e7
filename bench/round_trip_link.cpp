#include "round_trip_link.h"

#include <thread>

namespace vornak::bench {
namespace {

// The part of a wait spun rather than slept: more than the kernel's timer
// slack and wake-up latency.
constexpr std::chrono::microseconds kSpin{200};

class Device final : public HidDevice {
public:
    Device(RoundTripLink& link, std::unique_ptr<HidDevice> inner) : link_(link), inner_(std::move(inner)) {}
    bool WriteReport(std::span<const uint8_t> report) override
    {
        const bool sent = inner_->WriteReport(report);
        if (sent)
            link_.Sent();
        return sent;
    }
    ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs) override
    {
        link_.WaitForReply(timeoutMs);
        return inner_->ReadReport(payload, timeoutMs);
    }

private:
    RoundTripLink& link_;
    std::unique_ptr<HidDevice> inner_;
};

}  // namespace

std::unique_ptr<HidDevice> RoundTripLink::OpenInterface(const std::string& path, OpenAccess access,
                                                        OpenError& error)
{
    std::unique_ptr<HidDevice> inner = inner_.OpenInterface(path, access, error);
    if (!inner)
        return nullptr;
    return std::make_unique<Device>(*this, std::move(inner));
}

void RoundTripLink::Sent()
{
    ++requests_;
    replyDue_ = Clock::now() + roundTrip_;
    replyOwed_ = true;
}

void RoundTripLink::WaitForReply(uint32_t timeoutMs)
{
    if (!replyOwed_)
        return;
    replyOwed_ = false;
    const Clock::time_point due = replyDue_;
    Clock::time_point now = Clock::now();
    // Already there (the host paused before reading), or beyond this read.
    if (now >= due || due - now > std::chrono::milliseconds(timeoutMs))
        return;
    if (due - now > kSpin)
        std::this_thread::sleep_until(due - kSpin);
    while ((now = Clock::now()) < due) {
    }
    lateness_ += now - due;
}

}  // namespace vornak::bench
