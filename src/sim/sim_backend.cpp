#include "sim/sim_backend.h"

#include <algorithm>

namespace vornak::sim {
namespace {

constexpr uint32_t kDeviceGoneError = 0x48F;  // ERROR_DEVICE_NOT_CONNECTED

// Keeps a count of live objects, so tests can see what discovery leaves open.
class Counted {
public:
    explicit Counted(std::shared_ptr<int> count) : count_(std::move(count)) { ++*count_; }
    ~Counted() { --*count_; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

private:
    std::shared_ptr<int> count_;
};

// Any interface that is not the controller: it never sends a report.
class SilentDevice final : public HidDevice {
public:
    bool WriteReport(std::span<const uint8_t>) override { return true; }
    ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize>, uint32_t) override
    {
        return {ReadOutcome::TimedOut, 0};
    }
};

}  // namespace

class SimBackend::Device final : public HidDevice {
public:
    Device(SimBackend& backend, uint64_t generation)
        : backend_(backend), generation_(generation), counted_(backend.handleCount_)
    {
    }
    bool WriteReport(std::span<const uint8_t> report) override { return backend_.WriteFrom(generation_, report); }
    ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs) override
    {
        return backend_.ReadFor(generation_, payload, timeoutMs);
    }

private:
    SimBackend& backend_;
    uint64_t generation_;
    Counted counted_;
};

class SimBackend::Registration final : public DeviceNotification {
public:
    explicit Registration(std::shared_ptr<int> count) : counted_(std::move(count)) {}

private:
    Counted counted_;
};

SimBackend::SimBackend(SimulatedController& controller, Clock& clock) : controller_(controller), clock_(clock) {}

std::vector<HidInterface> SimBackend::EnumerateInterfaces()
{
    std::vector<HidInterface> list;
    {
        std::lock_guard lock(mutex_);
        list = others_;
    }
    UpdatePresence();
    std::lock_guard lock(mutex_);
    if (controller_.presence() == Presence::Attached)
        list.push_back({kDevicePath, controller_.config().vendorId, controller_.config().productId});
    return list;
}

std::unique_ptr<HidDevice> SimBackend::OpenInterface(const std::string& path, OpenAccess, OpenError& error)
{
    UpdatePresence();
    std::lock_guard lock(mutex_);
    if (path != kDevicePath) {
        const bool known = std::any_of(others_.begin(), others_.end(), [&](const HidInterface& i) { return i.path == path; });
        if (known)
            return std::make_unique<SilentDevice>();
        error = {OpenFailure::NotFound, "open " + path + ": No such device"};
        return nullptr;
    }
    if (controller_.presence() != Presence::Attached) {
        error = {OpenFailure::NotFound, "open " + path + ": No such device"};
        return nullptr;
    }
    if (denyAccess_) {
        error = {OpenFailure::AccessDenied, "open " + path + ": Permission denied"};
        return nullptr;
    }
    return std::make_unique<Device>(*this, generation_);
}

std::unique_ptr<DeviceNotification> SimBackend::RegisterDeviceNotification(NotifyWindow)
{
    std::lock_guard lock(mutex_);
    if (failRegistration_)
        return nullptr;
    return std::make_unique<Registration>(registrationCount_);
}

void SimBackend::AddOtherInterface(HidInterface other)
{
    std::lock_guard lock(mutex_);
    others_.push_back(std::move(other));
}

void SimBackend::DenyAccess(bool deny)
{
    std::lock_guard lock(mutex_);
    denyAccess_ = deny;
}

void SimBackend::FailRegistration(bool fail)
{
    std::lock_guard lock(mutex_);
    failRegistration_ = fail;
}

void SimBackend::Plug()
{
    {
        std::lock_guard lock(mutex_);
        controller_.Plug();
        restartDoneAtMs_.reset();
        ++generation_;
    }
    NotifyPresence(true);
}

void SimBackend::Unplug()
{
    {
        std::lock_guard lock(mutex_);
        controller_.Unplug();
        pending_.clear();
        restartDoneAtMs_.reset();
        ++generation_;
    }
    NotifyPresence(false);
}

void SimBackend::SetPresenceListener(std::function<void(bool)> listener)
{
    std::lock_guard lock(mutex_);
    presenceListener_ = std::move(listener);
}

int SimBackend::openHandles() const
{
    std::lock_guard lock(mutex_);
    return *handleCount_;
}

int SimBackend::registrations() const
{
    std::lock_guard lock(mutex_);
    return *registrationCount_;
}

bool SimBackend::Alive(uint64_t generation)
{
    return generation == generation_ && controller_.presence() == Presence::Attached;
}

void SimBackend::NotifyPresence(bool arrived)
{
    std::function<void(bool)> listener;
    {
        std::lock_guard lock(mutex_);
        listener = presenceListener_;
    }
    if (listener)
        listener(arrived);
}

void SimBackend::UpdatePresence()
{
    bool arrived = false;
    {
        std::lock_guard lock(mutex_);
        if (!restartDoneAtMs_ || clock_.NowMs() < *restartDoneAtMs_)
            return;
        restartDoneAtMs_.reset();
        controller_.FinishRestart();
        arrived = controller_.presence() == Presence::Attached;
    }
    if (arrived)
        NotifyPresence(true);
}

bool SimBackend::WriteFrom(uint64_t generation, std::span<const uint8_t> report)
{
    UpdatePresence();
    bool restarted = false;
    {
        std::lock_guard lock(mutex_);
        if (!Alive(generation) || report.empty())
            return false;
        // The kernel hands the firmware the report without its ID byte.
        Report payload{};
        std::copy_n(report.begin() + 1, std::min<size_t>(report.size() - 1, payload.size()), payload.begin());
        const uint64_t now = clock_.NowMs();
        for (const TimedReport& reply : controller_.HandleOutputReport(payload))
            pending_.push_back({now + reply.delayMs, reply.bytes});
        if (controller_.presence() == Presence::Restarting) {
            // The restart drops the controller off the bus: its handles die,
            // and it comes back restartMs later. A reply already sent stays readable.
            ++generation_;
            restartDoneAtMs_ = now + controller_.config().restartMs;
            restarted = true;
        }
        if (controller_.presence() == Presence::Vanished) {
            pending_.clear();
            ++generation_;
        }
    }
    if (restarted)
        NotifyPresence(false);
    return true;
}

ReadResult SimBackend::ReadFor(uint64_t generation, std::span<uint8_t, kReportPayloadSize> payload,
                               uint32_t timeoutMs)
{
    UpdatePresence();
    std::unique_lock lock(mutex_);
    const bool replyOfRestart = controller_.presence() == Presence::Restarting && generation + 1 == generation_;
    if (!Alive(generation) && !(replyOfRestart && !pending_.empty()))
        return {ReadOutcome::Failed, kDeviceGoneError};
    const uint64_t now = clock_.NowMs();
    if (!pending_.empty() && pending_.front().deliverAtMs <= now + timeoutMs) {
        const Pending next = pending_.front();
        pending_.pop_front();
        lock.unlock();
        if (next.deliverAtMs > now)
            clock_.SleepMs(static_cast<uint32_t>(next.deliverAtMs - now));
        std::copy(next.bytes.begin(), next.bytes.end(), payload.begin());
        return {ReadOutcome::Report, 0};
    }
    lock.unlock();
    clock_.SleepMs(timeoutMs);
    return {ReadOutcome::TimedOut, 0};
}

}  // namespace vornak::sim
