#pragma once

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/hid_backend.h"

namespace vornak::testing {

// The lowest seam faked: a scripted list of interfaces, open results, reads,
// and a record of every report written and every handle still open.
class FakeBackend final : public HidBackend {
public:
    struct ScriptedRead {
        ReadOutcome outcome = ReadOutcome::TimedOut;
        std::array<uint8_t, 64> payload{};
        uint32_t errorCode = 0;
    };

    std::vector<HidInterface> interfaces;
    std::map<std::pair<std::string, OpenAccess>, OpenFailure> openFailures;
    std::deque<ScriptedRead> reads;
    std::vector<std::vector<uint8_t>> written;
    std::vector<std::pair<std::string, OpenAccess>> opened;
    bool registrationFails = false;
    bool writesFail = false;
    Clock* clock = nullptr;  // when set, a time-out costs its full wait on it
    int registrationCalls = 0;
    int liveHandles = 0;
    int liveRegistrations = 0;
    std::vector<uint32_t> readTimeouts;

    std::vector<HidInterface> EnumerateInterfaces() override { return interfaces; }

    std::unique_ptr<HidDevice> OpenInterface(const std::string& path, OpenAccess access, OpenError& error) override
    {
        opened.emplace_back(path, access);
        const auto failure = openFailures.find({path, access});
        if (failure != openFailures.end()) {
            error = {failure->second, "open " + path + ": failed"};
            return nullptr;
        }
        return std::make_unique<Device>(*this);
    }

    std::unique_ptr<DeviceNotification> RegisterDeviceNotification(NotifyWindow) override
    {
        ++registrationCalls;
        if (registrationFails)
            return nullptr;
        return std::make_unique<Registration>(*this);
    }

    static ScriptedRead Report(std::array<uint8_t, 64> payload) { return {ReadOutcome::Report, payload, 0}; }

private:
    class Device final : public HidDevice {
    public:
        explicit Device(FakeBackend& owner) : owner_(owner) { ++owner_.liveHandles; }
        ~Device() override { --owner_.liveHandles; }
        bool WriteReport(std::span<const uint8_t> report) override
        {
            if (owner_.writesFail)
                return false;
            owner_.written.emplace_back(report.begin(), report.end());
            return true;
        }
        ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs) override
        {
            owner_.readTimeouts.push_back(timeoutMs);
            ScriptedRead next;
            if (!owner_.reads.empty()) {
                next = owner_.reads.front();
                owner_.reads.pop_front();
            }
            if (next.outcome == ReadOutcome::TimedOut && owner_.clock != nullptr)
                owner_.clock->SleepMs(timeoutMs);
            if (next.outcome == ReadOutcome::Report)
                std::copy(next.payload.begin(), next.payload.end(), payload.begin());
            return {next.outcome, next.errorCode};
        }

    private:
        FakeBackend& owner_;
    };

    class Registration final : public DeviceNotification {
    public:
        explicit Registration(FakeBackend& owner) : owner_(owner) { ++owner_.liveRegistrations; }
        ~Registration() override { --owner_.liveRegistrations; }

    private:
        FakeBackend& owner_;
    };
};

}  // namespace vornak::testing
