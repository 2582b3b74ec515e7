#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "sim/simulated_controller.h"
#include "sim/tool/device_transport.h"
#include "sim/tool/termination_signals.h"

namespace vornak::sim {

// What the restart after EndUpdate looks like to the host.
enum class RestartPolicy {
    StayAttached,  // nothing visible: the controller answers again at once
    Exit,          // the run ends after the EndUpdate reply
    Replug,        // the device leaves the host and comes back restartMs later
};

// Serves one host in real time: each output report goes to the controller,
// each reply goes out after its delay, and the controller's restart and
// vanishing become the transport's detach and attach.
class DeviceSession {
public:
    using Log = std::function<void(const std::string&)>;

    DeviceSession(SimulatedController& controller, DeviceTransport& transport, RestartPolicy restart, Clock& clock,
                  Log log, bool verbose);

    // Until the host side ends, the controller vanishes, a restart ends the
    // run, or a termination signal arrives. False on a transport failure.
    bool Run(const TerminationSignals& signals);

private:
    struct Scheduled {
        uint64_t dueMs;
        Report bytes;
    };
    enum class RestartStep { None, DetachDue, AttachDue };

    void OnOutput(std::span<const uint8_t, 64> payload);
    bool SendDue(uint64_t now);
    // False when the run ends here; failed_ tells whether it failed.
    bool AdvanceRestart(uint64_t now);
    int WaitMs(uint64_t now) const;
    void Trace(const ReceivedCommand& command) const;

    SimulatedController& controller_;
    DeviceTransport& transport_;
    RestartPolicy restart_;
    Clock& clock_;
    Log log_;
    bool verbose_;
    std::vector<Scheduled> pending_;  // in order of their due time
    RestartStep restartStep_ = RestartStep::None;
    uint64_t restartDueMs_ = 0;
    bool failed_ = false;
};

}  // namespace vornak::sim
