#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "sim/simulated_controller.h"

namespace vornak::sim {

// Gets each output report's 64 payload bytes, report-ID byte already dropped.
using OutputHandler = std::function<void(std::span<const uint8_t, 64>)>;

enum class ReceiveResult { Open, Ended, Failed };

// How the simulated controller meets its host: the pipe or the kernel's uhid.
class DeviceTransport {
public:
    virtual ~DeviceTransport() = default;
    // The descriptor to wait on for the host's traffic.
    virtual int pollFd() const = 0;
    // Appears to the host (first start and after a restart).
    virtual bool Attach() = 0;
    // Leaves the host, as a restart or an unplug does.
    virtual bool Detach() = 0;
    // Takes what the host has sent, without waiting.
    virtual ReceiveResult Receive(const OutputHandler& onOutput) = 0;
    // Sends one input report of 64 bytes.
    virtual bool Send(const Report& input) = 0;
    // What failed last, with the failing call and the OS error text.
    const std::string& error() const { return error_; }

protected:
    std::string error_;
};

}  // namespace vornak::sim
