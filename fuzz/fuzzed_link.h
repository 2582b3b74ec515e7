#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/hid_backend.h"
#include "sim/simulated_controller.h"

namespace vornak::fuzz {

// The fuzzer's input, read from both ends: the front decides what each read
// delivers, the back what becomes of each request.
class InputStream {
public:
    explicit InputStream(std::span<const uint8_t> data) : data_(data), back_(data.size()) {}
    std::optional<uint8_t> Front()
    {
        if (front_ == back_)
            return std::nullopt;
        return data_[front_++];
    }
    std::optional<uint8_t> Back()
    {
        if (front_ == back_)
            return std::nullopt;
        return data_[--back_];
    }

private:
    std::span<const uint8_t> data_;
    size_t front_ = 0;
    size_t back_;
};

// One event on the link, in the order the host saw it.
struct LinkEvent {
    enum Kind { Request, Reply, TimedOut, ReadFailed } kind;
    sim::Report bytes{};  // Request: the payload written (or tried); Reply: the report delivered
};

// A link between the host and the simulated controller that the fuzzer runs:
// replies come in order, late, never, corrupted, invented or repeated; requests
// get lost or fail. The controller itself stays honest, so as long as the link
// only loses, delays and adds unrelated reports (a truthful link), flash must
// hold the image whenever the host says it does.
class FuzzedLink final : public HidBackend {
public:
    static constexpr uint32_t kReportCostMs = 1;  // a full-speed interrupt endpoint's interval

    FuzzedLink(sim::SimulatedController& controller, Clock& clock, InputStream& input)
        : controller_(controller), clock_(clock), input_(input)
    {
        events_.reserve(1024);
    }

    std::vector<HidInterface> EnumerateInterfaces() override;
    std::unique_ptr<HidDevice> OpenInterface(const std::string& path, OpenAccess access, OpenError& error) override;
    std::unique_ptr<DeviceNotification> RegisterDeviceNotification(NotifyWindow window) override;

    bool Write(std::span<const uint8_t> report);
    ReadResult Read(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs);

    // Called with a CompareBlock reply; fills in the checksum the host expects
    // for the address it names, if any (a controller that lies).
    void SetLiar(std::function<void(sim::Report&)> lie) { lie_ = std::move(lie); }

    bool truthful() const { return truthful_; }
    const std::vector<LinkEvent>& events() const { return events_; }

private:
    ReadResult Deliver(std::span<uint8_t, kReportPayloadSize> payload, const sim::Report& report);
    ReadResult ReadBy(uint8_t op, std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs);
    ReadResult TimeOut(uint32_t timeoutMs);
    sim::Report TakeFromInput();

    sim::SimulatedController& controller_;
    Clock& clock_;
    InputStream& input_;
    std::deque<sim::Report> pending_;  // the controller's replies not yet read
    std::optional<sim::Report> lastDelivered_;
    std::function<void(sim::Report&)> lie_;
    std::vector<LinkEvent> events_;
    bool truthful_ = true;
};

}  // namespace vornak::fuzz
