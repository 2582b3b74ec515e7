#include "sim/tool/device_session.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "protocol/command_report.h"

namespace vornak::sim {
namespace {

// Replug: the EndUpdate reply must be read before the device leaves, since
// hidapi refuses to read a removed hidraw node even with reports queued.
constexpr uint32_t kReplyGraceMs = 100;

}  // namespace

DeviceSession::DeviceSession(SimulatedController& controller, DeviceTransport& transport, RestartPolicy restart,
                             Clock& clock, Log log, bool verbose)
    : controller_(controller), transport_(transport), restart_(restart), clock_(clock), log_(std::move(log)),
      verbose_(verbose)
{
}

bool DeviceSession::Run(const TerminationSignals& signals)
{
    if (!transport_.Attach()) {
        log_(transport_.error());
        return false;
    }
    const OutputHandler onOutput = [this](std::span<const uint8_t, 64> payload) { OnOutput(payload); };
    while (!signals.requested()) {
        const uint64_t now = clock_.NowMs();
        if (!SendDue(now))
            return false;
        if (controller_.presence() == Presence::Vanished) {
            log_("vanished");
            if (!transport_.Detach()) {
                log_(transport_.error());
                return false;
            }
            return true;
        }
        if (!AdvanceRestart(now))
            return !failed_;

        pollfd entry{transport_.pollFd(), POLLIN, 0};
        const int waitMs = WaitMs(now);
        const timespec wait{waitMs / 1000, (waitMs % 1000) * 1000000L};
        const int ready = ::ppoll(&entry, 1, waitMs < 0 ? nullptr : &wait, signals.waitMask());
        if (ready < 0 && errno != EINTR) {
            log_("ppoll: " + std::system_category().message(errno));
            return false;
        }
        if (ready <= 0)
            continue;
        switch (transport_.Receive(onOutput)) {
        case ReceiveResult::Open:
            break;
        case ReceiveResult::Ended:
            return true;
        case ReceiveResult::Failed:
            log_(transport_.error());
            return false;
        }
    }
    return true;
}

void DeviceSession::OnOutput(std::span<const uint8_t, 64> payload)
{
    const size_t logged = controller_.received().size();
    const uint64_t now = clock_.NowMs();
    for (const TimedReport& reply : controller_.HandleOutputReport(payload)) {
        const uint64_t due = now + reply.delayMs;
        const auto later = std::upper_bound(pending_.begin(), pending_.end(), due,
                                            [](uint64_t t, const Scheduled& s) { return t < s.dueMs; });
        pending_.insert(later, Scheduled{due, reply.bytes});
    }
    if (verbose_ && controller_.received().size() > logged)
        Trace(controller_.received().back());
}

bool DeviceSession::SendDue(uint64_t now)
{
    while (!pending_.empty() && pending_.front().dueMs <= now) {
        if (!transport_.Send(pending_.front().bytes)) {
            log_(transport_.error());
            return false;
        }
        pending_.erase(pending_.begin());
    }
    return true;
}

bool DeviceSession::AdvanceRestart(uint64_t now)
{
    if (controller_.presence() != Presence::Restarting || !pending_.empty())
        return true;
    switch (restart_) {
    case RestartPolicy::StayAttached:
        controller_.FinishRestart();
        return true;
    case RestartPolicy::Exit:
        log_("restart: exiting");
        return false;
    case RestartPolicy::Replug:
        break;
    }
    if (restartStep_ == RestartStep::None) {
        restartStep_ = RestartStep::DetachDue;
        restartDueMs_ = now + kReplyGraceMs;
    }
    if (now < restartDueMs_)
        return true;
    if (restartStep_ == RestartStep::DetachDue) {
        log_("restart: leaving the bus");
        restartStep_ = RestartStep::AttachDue;
        restartDueMs_ = now + controller_.config().restartMs;
        failed_ = !transport_.Detach();
    } else {
        log_("restart: back on the bus");
        restartStep_ = RestartStep::None;
        controller_.FinishRestart();
        failed_ = !transport_.Attach();
    }
    if (failed_)
        log_(transport_.error());
    return !failed_;
}

int DeviceSession::WaitMs(uint64_t now) const
{
    std::optional<uint64_t> due;
    if (!pending_.empty())
        due = pending_.front().dueMs;
    if (restartStep_ != RestartStep::None)
        due = std::min(due.value_or(restartDueMs_), restartDueMs_);
    if (!due)
        return -1;
    return *due <= now ? 0 : static_cast<int>(std::min<uint64_t>(*due - now, 60000));
}

void DeviceSession::Trace(const ReceivedCommand& command) const
{
    char line[128];
    std::snprintf(line, sizeof line, "%s address=0x%08X length=0x%X payload=%u %s", CommandName(command.command),
                  command.address, command.length, command.payloadLength,
                  command.accepted ? "accepted" : "refused");
    log_(line);
}

}  // namespace vornak::sim
