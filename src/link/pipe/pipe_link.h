#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "link/hid_backend.h"
#include "link/pipe/child_process.h"
#include "link/pipe/pipe_frame_queue.h"

namespace vornak::pipe {

// Read status once the child has gone; reads as ERROR_DEVICE_NOT_CONNECTED.
inline constexpr uint32_t kDeviceGoneStatus = 0x48F;

struct PipeTimeouts {
    uint32_t identityMs = 2000;  // the child's identity must arrive this soon after its start
    uint32_t exitWaitMs = 2000;  // at the end, how long the child may take to exit before it is killed
    uint32_t writeMs = 2000;     // how long a write waits for room in a child's full input pipe
};

struct PipeIdentity {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// The one child that plays a device, shared by every handle opened on it.
class PipeLink {
public:
    // Starts command and waits for its identity. Null only when the child
    // could not be started; a child without identity gives a link whose
    // identity() is empty, with the reason in error.
    static std::shared_ptr<PipeLink> Connect(const std::string& command, const PipeTimeouts& timeouts,
                                             std::string& error);

    const std::optional<PipeIdentity>& identity() const { return identity_; }
    // False once the child has closed its standard output or exited.
    bool Present();
    // Sends one output report as exactly 65 bytes, zero-filled behind report.
    bool Write(std::span<const uint8_t> report);
    // Waits up to timeoutMs for a complete input frame. Frames that arrived
    // before the child went are still delivered, then every read fails at once.
    ReadResult Read(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs);

private:
    PipeLink(std::unique_ptr<ChildProcess> child, const PipeTimeouts& timeouts);
    bool ReadIdentity(std::string& error);
    void Refresh();
    void DrainOutput();

    std::mutex mutex_;
    std::unique_ptr<ChildProcess> child_;
    PipeTimeouts timeouts_;
    std::optional<PipeIdentity> identity_;
    PipeFrameQueue frames_;
    bool gone_ = false;
};

}  // namespace vornak::pipe
