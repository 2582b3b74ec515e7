#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "link/hid_backend.h"

namespace vornak::bench {

// A link whose every reply arrives a fixed round trip after its request, in
// real time, whatever the backend behind it does. The wait ends on the
// microsecond (a sleep, then a short spin) so that the model adds no
// scheduling slack of its own to the figures.
class RoundTripLink final : public HidBackend {
public:
    using Clock = std::chrono::steady_clock;

    RoundTripLink(HidBackend& inner, std::chrono::microseconds roundTrip) : inner_(inner), roundTrip_(roundTrip) {}

    std::vector<HidInterface> EnumerateInterfaces() override { return inner_.EnumerateInterfaces(); }
    std::unique_ptr<HidDevice> OpenInterface(const std::string& path, OpenAccess access, OpenError& error) override;
    std::unique_ptr<DeviceNotification> RegisterDeviceNotification(NotifyWindow window) override
    {
        return inner_.RegisterDeviceNotification(window);
    }

    void ResetCounts()
    {
        requests_ = 0;
        lateness_ = {};
    }
    uint64_t requests() const { return requests_; }
    // How far past its arrival time a waited-for reply was handed over, in sum.
    Clock::duration lateness() const { return lateness_; }

    void Sent();
    void WaitForReply(uint32_t timeoutMs);

private:
    HidBackend& inner_;
    std::chrono::microseconds roundTrip_;
    Clock::time_point replyDue_{};
    bool replyOwed_ = false;
    uint64_t requests_ = 0;
    Clock::duration lateness_{};
};

}  // namespace vornak::bench
