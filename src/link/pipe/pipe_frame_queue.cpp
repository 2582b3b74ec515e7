#include "link/pipe/pipe_frame_queue.h"

#include <algorithm>

namespace vornak::pipe {

void PipeFrameQueue::Append(std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        const size_t take = std::min(bytes.size(), kPipeFrameSize - partialSize_);
        std::copy_n(bytes.begin(), take, partial_.begin() + static_cast<std::ptrdiff_t>(partialSize_));
        partialSize_ += take;
        bytes = bytes.subspan(take);
        if (partialSize_ == kPipeFrameSize) {
            Payload& frame = frames_.emplace_back();
            std::copy(partial_.begin() + 1, partial_.end(), frame.begin());
            partialSize_ = 0;
        }
    }
}

std::optional<Payload> PipeFrameQueue::Pop()
{
    if (frames_.empty())
        return std::nullopt;
    Payload frame = frames_.front();
    frames_.pop_front();
    return frame;
}

}  // namespace vornak::pipe
