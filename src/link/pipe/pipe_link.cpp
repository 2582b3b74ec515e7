#include "link/pipe/pipe_link.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <system_error>

namespace vornak::pipe {
namespace {

constexpr size_t kIdentitySize = 4;
constexpr int kMaxDrainReads = 16;  // bounds one drain against a child that never stops writing

using Deadline = std::chrono::steady_clock::time_point;

Deadline DeadlineIn(uint32_t ms) { return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms); }

int RemainingMs(Deadline deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// Waits for events on fd; false on a poll error other than an interruption.
bool WaitFor(int fd, short events, int timeoutMs)
{
    pollfd entry{fd, events, 0};
    return ::poll(&entry, 1, timeoutMs) >= 0 || errno == EINTR;
}

// A write to a child that has closed its input must fail, not end the
// process: SIGPIPE is blocked in this thread for the write and a SIGPIPE it
// raised is taken back before the mask is restored.
ssize_t WriteWithoutSigpipe(int fd, const uint8_t* data, size_t size)
{
    sigset_t pipeSet, previous, pending;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &previous);
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    const ssize_t written = ::write(fd, data, size);
    const int error = errno;
    if (written < 0 && error == EPIPE && !alreadyPending) {
        const timespec noWait{};
        sigtimedwait(&pipeSet, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
}

}  // namespace

std::shared_ptr<PipeLink> PipeLink::Connect(const std::string& command, const PipeTimeouts& timeouts,
                                            std::string& error)
{
    std::unique_ptr<ChildProcess> child = ChildProcess::Start(command, timeouts.exitWaitMs, error);
    if (!child)
        return nullptr;
    auto link = std::shared_ptr<PipeLink>(new PipeLink(std::move(child), timeouts));
    std::lock_guard lock(link->mutex_);
    link->ReadIdentity(error);
    return link;
}

PipeLink::PipeLink(std::unique_ptr<ChildProcess> child, const PipeTimeouts& timeouts)
    : child_(std::move(child)), timeouts_(timeouts)
{
}

bool PipeLink::ReadIdentity(std::string& error)
{
    std::array<uint8_t, kIdentitySize> bytes{};
    size_t got = 0;
    const Deadline deadline = DeadlineIn(timeouts_.identityMs);
    while (got < kIdentitySize) {
        const int remaining = RemainingMs(deadline);
        if (remaining == 0) {
            error = "device command wrote no identity within " + std::to_string(timeouts_.identityMs) + " ms";
            return false;
        }
        if (!WaitFor(child_->stdoutFd(), POLLIN, remaining)) {
            error = "poll on the device command's output: " + std::system_category().message(errno);
            return false;
        }
        // Only the identity's own bytes: what follows is left for the frame reader.
        const ssize_t n = ::read(child_->stdoutFd(), bytes.data() + got, kIdentitySize - got);
        if (n > 0) {
            got += static_cast<size_t>(n);
        } else if (n == 0) {
            gone_ = true;
            error = "device command ended before writing its identity";
            return false;
        } else if (errno != EAGAIN && errno != EINTR) {
            gone_ = true;
            error = "read of the device command's identity: " + std::system_category().message(errno);
            return false;
        }
    }
    identity_ = PipeIdentity{static_cast<uint16_t>(bytes[0] | bytes[1] << 8),
                             static_cast<uint16_t>(bytes[2] | bytes[3] << 8)};
    return true;
}

bool PipeLink::Present()
{
    std::lock_guard lock(mutex_);
    Refresh();
    return !gone_;
}

void PipeLink::Refresh()
{
    if (gone_)
        return;
    // Asked before the drain, so that frames written just before the exit are kept.
    const bool exited = child_->Exited();
    DrainOutput();
    if (exited)
        gone_ = true;
}

void PipeLink::DrainOutput()
{
    std::array<uint8_t, 4096> buffer;
    for (int i = 0; i < kMaxDrainReads && !gone_; ++i) {
        const ssize_t n = ::read(child_->stdoutFd(), buffer.data(), buffer.size());
        if (n > 0)
            frames_.Append(std::span<const uint8_t>(buffer.data(), static_cast<size_t>(n)));
        else if (n == 0 || (errno != EINTR && errno != EAGAIN))
            gone_ = true;
        else if (errno == EAGAIN)
            return;
    }
}

bool PipeLink::Write(std::span<const uint8_t> report)
{
    std::lock_guard lock(mutex_);
    if (report.empty() || report.size() > kPipeFrameSize)
        return false;
    Refresh();
    if (gone_)
        return false;
    std::array<uint8_t, kPipeFrameSize> frame{};
    std::copy(report.begin(), report.end(), frame.begin());
    const Deadline deadline = DeadlineIn(timeouts_.writeMs);
    for (;;) {
        // 65 bytes are less than PIPE_BUF, so the write is all or nothing.
        const ssize_t n = WriteWithoutSigpipe(child_->stdinFd(), frame.data(), frame.size());
        if (n == static_cast<ssize_t>(frame.size()))
            return true;
        if (n >= 0 || (errno != EAGAIN && errno != EINTR))
            return false;
        const int remaining = RemainingMs(deadline);
        if (remaining == 0 || !WaitFor(child_->stdinFd(), POLLOUT, remaining))
            return false;
    }
}

ReadResult PipeLink::Read(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs)
{
    std::lock_guard lock(mutex_);
    const Deadline deadline = DeadlineIn(timeoutMs);
    for (;;) {
        Refresh();
        if (std::optional<Payload> frame = frames_.Pop()) {
            std::copy(frame->begin(), frame->end(), payload.begin());
            return {ReadOutcome::Report, 0};
        }
        if (gone_)
            return {ReadOutcome::Failed, kDeviceGoneStatus};
        const int remaining = RemainingMs(deadline);
        if (remaining == 0)
            return {ReadOutcome::TimedOut, 0};
        if (!WaitFor(child_->stdoutFd(), POLLIN, remaining))
            return {ReadOutcome::Failed, static_cast<uint32_t>(errno)};
    }
}

}  // namespace vornak::pipe
