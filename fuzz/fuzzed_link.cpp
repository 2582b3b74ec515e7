#include "fuzzed_link.h"

#include <algorithm>

#include "link/chid.h"

namespace vornak::fuzz {
namespace {

constexpr const char* kPath = "fuzz:controller";
constexpr uint32_t kDeviceGoneError = 0x48F;

// What a read does, by the low nibble of its input byte. 0 to 7 let the next
// reply through, so that inputs reach the late phases.
enum ReadOp : uint8_t {
    kTimeOut = 8,      // the next reply stays queued: it comes late
    kLose = 9,         // the next reply is lost; the read goes on with the next byte
    kFail = 10,        // the read fails as for an unplugged device
    kUnrelated = 11,   // a report that answers no command (byte 0 is never 0)
    kInvented = 12,    // 64 bytes from the input, as they are
    kCorrupted = 13,   // the next reply with one byte changed
    kLie = 14,         // the next reply; a CompareBlock reply claims a match
    kRepeated = 15,    // the report delivered last, once more
};

// What a request does, by the low nibble of its input byte; anything else goes through.
constexpr uint8_t kWriteFails = 0x0F;
constexpr uint8_t kRequestLost = 0x0E;

class Device final : public HidDevice {
public:
    explicit Device(FuzzedLink& link) : link_(link) {}
    bool WriteReport(std::span<const uint8_t> report) override { return link_.Write(report); }
    ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs) override
    {
        return link_.Read(payload, timeoutMs);
    }

private:
    FuzzedLink& link_;
};

class Registration final : public DeviceNotification {};

}  // namespace

std::vector<HidInterface> FuzzedLink::EnumerateInterfaces()
{
    return {{kPath, kSupportedVendorId, kSupportedProductId}};
}

std::unique_ptr<HidDevice> FuzzedLink::OpenInterface(const std::string& path, OpenAccess, OpenError& error)
{
    if (path != kPath) {
        error = {OpenFailure::NotFound, "open " + path + ": No such device"};
        return nullptr;
    }
    return std::make_unique<Device>(*this);
}

std::unique_ptr<DeviceNotification> FuzzedLink::RegisterDeviceNotification(NotifyWindow)
{
    return std::make_unique<Registration>();
}

bool FuzzedLink::Write(std::span<const uint8_t> report)
{
    if (report.empty())
        return false;
    sim::Report payload{};
    std::copy_n(report.begin() + 1, std::min<size_t>(report.size() - 1, payload.size()), payload.begin());
    // Logged even when it fails: the reads that follow still belong to it.
    events_.push_back({LinkEvent::Request, payload});
    const uint8_t op = input_.Back().value_or(0) & 0x0F;
    if (op == kWriteFails)
        return false;
    if (op == kRequestLost)
        return true;
    for (const sim::TimedReport& reply : controller_.HandleOutputReport(payload))
        pending_.push_back(reply.bytes);
    return true;
}

ReadResult FuzzedLink::Deliver(std::span<uint8_t, kReportPayloadSize> payload, const sim::Report& report)
{
    clock_.SleepMs(kReportCostMs);
    std::copy(report.begin(), report.end(), payload.begin());
    lastDelivered_ = report;
    events_.push_back({LinkEvent::Reply, report});
    return {ReadOutcome::Report, 0};
}

ReadResult FuzzedLink::TimeOut(uint32_t timeoutMs)
{
    clock_.SleepMs(timeoutMs);
    events_.push_back({LinkEvent::TimedOut, {}});
    return {ReadOutcome::TimedOut, 0};
}

sim::Report FuzzedLink::TakeFromInput()
{
    sim::Report report{};
    for (uint8_t& b : report)
        b = input_.Front().value_or(0);
    return report;
}

ReadResult FuzzedLink::Read(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs)
{
    for (;;) {
        // With the input used up the controller falls silent: every wait must end.
        const std::optional<uint8_t> byte = input_.Front();
        if (!byte)
            return TimeOut(timeoutMs);
        const uint8_t op = *byte & 0x0F;
        if (op == kLose) {
            if (!pending_.empty())
                pending_.pop_front();
            continue;
        }
        return ReadBy(op, payload, timeoutMs);
    }
}

ReadResult FuzzedLink::ReadBy(uint8_t op, std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs)
{
    switch (op) {
    case kTimeOut: return TimeOut(timeoutMs);
    case kFail: events_.push_back({LinkEvent::ReadFailed, {}}); return {ReadOutcome::Failed, kDeviceGoneError};
    case kUnrelated: {
        sim::Report noise = TakeFromInput();
        noise[0] |= 0x01;  // a reply starts with 0x00
        return Deliver(payload, noise);
    }
    case kInvented: truthful_ = false; return Deliver(payload, TakeFromInput());
    case kRepeated:
        if (!lastDelivered_)
            return TimeOut(timeoutMs);
        truthful_ = false;
        return Deliver(payload, *lastDelivered_);
    default: break;
    }
    if (pending_.empty())
        return TimeOut(timeoutMs);
    sim::Report reply = pending_.front();
    pending_.pop_front();
    if (op == kCorrupted) {
        const uint8_t at = input_.Front().value_or(0) % 64;
        const uint8_t flip = static_cast<uint8_t>(input_.Front().value_or(0) | 0x01);
        reply[at] ^= flip;
        truthful_ = false;
    } else if (op == kLie && lie_) {
        const sim::Report before = reply;
        lie_(reply);
        truthful_ = truthful_ && before == reply;
    }
    return Deliver(payload, reply);
}

}  // namespace vornak::fuzz
