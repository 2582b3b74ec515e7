#pragma once

#include <memory>
#include <string>

#include "cli/device_options.h"
#include "cli/exit_codes.h"
#include "link/clock.h"
#include "link/hid_backend.h"
#include "link/trace/trace_backend.h"
#include "sim/simulated_controller.h"

namespace vornak::cli {

struct ConnectionError {
    ExitCode code = kExitSuccess;
    std::string message;
};

// The backend that detect and update use, as the options choose it: the
// platform's HID, the simulated controller or an external device, traced when
// asked. Owns all of it for the run.
class DeviceConnection {
public:
    static std::unique_ptr<DeviceConnection> Open(const DeviceOptions& options, Clock& clock,
                                                  ConnectionError& error);
    ~DeviceConnection();

    HidBackend& backend() { return traced_ ? *traced_ : *inner_; }
    const std::string& accessHint() const { return accessHint_; }
    // Why the chosen device cannot be attached (an external device that did not
    // start); "" when nothing is known beyond discovery's result.
    const std::string& absentReason() const { return absentReason_; }

    // Keeps the simulated controller's flash for the next run; false with the reason.
    bool SaveState(std::string& error);

private:
    DeviceConnection() = default;
    bool OpenSimulator(const SimulatorOptions& options, Clock& clock, ConnectionError& error);
    bool OpenExternal(const std::string& command, ConnectionError& error);
    bool OpenDefault(ConnectionError& error);

    std::unique_ptr<sim::SimulatedController> controller_;
    std::unique_ptr<HidBackend> inner_;
    std::unique_ptr<TraceLog> trace_;
    std::unique_ptr<TraceBackend> traced_;
    std::string flashFile_;
    std::string accessHint_;
    std::string absentReason_;
};

}  // namespace vornak::cli
