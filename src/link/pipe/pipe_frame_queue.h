#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>

#include "link/hid_backend.h"

namespace vornak::pipe {

// Every report on the pipe, either way, is the report-ID byte and 64 bytes.
inline constexpr size_t kPipeFrameSize = kOutputReportSize;

using Payload = std::array<uint8_t, kReportPayloadSize>;

// Cuts a byte stream of the pipe into its 65-byte frames, keeping a partial
// frame until its last byte comes. Frames come out in arrival order, without
// their report-ID byte. The host reads input reports with it, the simulated
// controller its output reports.
class PipeFrameQueue {
public:
    void Append(std::span<const uint8_t> bytes);
    std::optional<Payload> Pop();
    size_t partialBytes() const { return partialSize_; }

private:
    std::deque<Payload> frames_;
    std::array<uint8_t, kPipeFrameSize> partial_{};
    size_t partialSize_ = 0;
};

}  // namespace vornak::pipe
