#pragma once

#include <cstdint>

#include "link/pipe/pipe_frame_queue.h"
#include "sim/tool/device_transport.h"

namespace vornak::sim {

// The device side of the pipe: identity, then 65-byte frames both ways on
// standard input and output.
class PipeTransport final : public DeviceTransport {
public:
    PipeTransport(int inputFd, int outputFd, uint16_t vendorId, uint16_t productId);

    int pollFd() const override { return inputFd_; }
    // The first attach writes the identity; a pipe has no way to leave and
    // come back, so later ones and Detach do nothing.
    bool Attach() override;
    bool Detach() override { return true; }
    ReceiveResult Receive(const OutputHandler& onOutput) override;
    bool Send(const Report& input) override;

private:
    bool WriteAll(const uint8_t* data, size_t size);

    int inputFd_;
    int outputFd_;
    uint16_t vendorId_;
    uint16_t productId_;
    bool identitySent_ = false;
    pipe::PipeFrameQueue frames_;
};

}  // namespace vornak::sim
