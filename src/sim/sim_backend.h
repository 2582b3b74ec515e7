#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "link/clock.h"
#include "link/hid_backend.h"
#include "sim/simulated_controller.h"

namespace vornak::sim {

// The simulated controller as an attached HID interface, in process. Reads
// wait on the given clock: with a VirtualClock a time-out costs no real time,
// with the steady clock the controller behaves like a real one.
class SimBackend final : public HidBackend {
public:
    static constexpr const char* kDevicePath = "sim:controller";

    SimBackend(SimulatedController& controller, Clock& clock);

    std::vector<HidInterface> EnumerateInterfaces() override;
    std::unique_ptr<HidDevice> OpenInterface(const std::string& path, OpenAccess access,
                                             OpenError& error) override;
    std::unique_ptr<DeviceNotification> RegisterDeviceNotification(NotifyWindow window) override;

    // Other HID interfaces listed before the controller, as on a real machine.
    void AddOtherInterface(HidInterface other);
    // Makes opening the controller fail as if its node lacked access rights.
    void DenyAccess(bool deny);
    // Makes the registration for notifications fail.
    void FailRegistration(bool fail);

    // Plug and unplug from a test or a demo; handles opened before die.
    void Plug();
    void Unplug();
    // Called with true on arrival and false on removal, including the restart
    // after EndUpdate; from whichever thread caused it.
    void SetPresenceListener(std::function<void(bool arrived)> listener);

    SimulatedController& controller() { return controller_; }
    std::mutex& mutex() { return mutex_; }
    int openHandles() const;
    int registrations() const;

private:
    class Device;
    friend class Device;
    class Registration;

    bool WriteFrom(uint64_t generation, std::span<const uint8_t> report);
    ReadResult ReadFor(uint64_t generation, std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs);
    bool Alive(uint64_t generation);
    void UpdatePresence();
    void NotifyPresence(bool arrived);

    struct Pending {
        uint64_t deliverAtMs;
        Report bytes;
    };

    SimulatedController& controller_;
    Clock& clock_;
    mutable std::mutex mutex_;
    std::deque<Pending> pending_;
    std::vector<HidInterface> others_;
    uint64_t generation_ = 1;
    std::optional<uint64_t> restartDoneAtMs_;
    bool denyAccess_ = false;
    bool failRegistration_ = false;
    std::function<void(bool)> presenceListener_;
    std::shared_ptr<int> handleCount_ = std::make_shared<int>(0);
    std::shared_ptr<int> registrationCount_ = std::make_shared<int>(0);
};

}  // namespace vornak::sim
