#include "sim/tool/pipe_transport.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

namespace vornak::sim {

PipeTransport::PipeTransport(int inputFd, int outputFd, uint16_t vendorId, uint16_t productId)
    : inputFd_(inputFd), outputFd_(outputFd), vendorId_(vendorId), productId_(productId)
{
}

bool PipeTransport::Attach()
{
    if (identitySent_)
        return true;
    identitySent_ = true;
    const std::array<uint8_t, 4> identity{static_cast<uint8_t>(vendorId_), static_cast<uint8_t>(vendorId_ >> 8),
                                          static_cast<uint8_t>(productId_), static_cast<uint8_t>(productId_ >> 8)};
    return WriteAll(identity.data(), identity.size());
}

ReceiveResult PipeTransport::Receive(const OutputHandler& onOutput)
{
    std::array<uint8_t, 4096> buffer;
    const ssize_t n = ::read(inputFd_, buffer.data(), buffer.size());
    if (n == 0)
        return ReceiveResult::Ended;
    if (n < 0) {
        if (errno == EINTR || errno == EAGAIN)
            return ReceiveResult::Open;
        error_ = "read from standard input: " + std::system_category().message(errno);
        return ReceiveResult::Failed;
    }
    frames_.Append(std::span<const uint8_t>(buffer.data(), static_cast<size_t>(n)));
    while (std::optional<pipe::Payload> frame = frames_.Pop())
        onOutput(*frame);
    return ReceiveResult::Open;
}

bool PipeTransport::Send(const Report& input)
{
    std::array<uint8_t, pipe::kPipeFrameSize> frame{};  // report ID 0, then the report
    std::copy(input.begin(), input.end(), frame.begin() + 1);
    return WriteAll(frame.data(), frame.size());
}

bool PipeTransport::WriteAll(const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(outputFd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = "write to standard output: " + std::system_category().message(errno);
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace vornak::sim
