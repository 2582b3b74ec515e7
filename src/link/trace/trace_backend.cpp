#include "link/trace/trace_backend.h"

#include <cstdio>

namespace vornak {
namespace {

const char* AccessName(OpenAccess access)
{
    switch (access) {
    case OpenAccess::Probe: return "probe";
    case OpenAccess::Write: return "write";
    case OpenAccess::Read: return "read";
    }
    return "?";
}

std::string Hex32(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

class TraceDevice final : public HidDevice {
public:
    TraceDevice(std::unique_ptr<HidDevice> inner, TraceLog& log, std::string name)
        : inner_(std::move(inner)), log_(log), name_(std::move(name))
    {
    }
    ~TraceDevice() override { log_.Event("close " + name_); }

    bool WriteReport(std::span<const uint8_t> report) override
    {
        // The report ID byte goes first; the trace shows the payload after it.
        log_.Report(TraceDirection::Out, report.empty() ? report : report.subspan(1));
        const bool written = inner_->WriteReport(report);
        if (!written)
            log_.Event("write failed on " + name_);
        return written;
    }

    ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs) override
    {
        const ReadResult result = inner_->ReadReport(payload, timeoutMs);
        switch (result.outcome) {
        case ReadOutcome::Report:
            log_.Report(TraceDirection::In, payload);
            break;
        case ReadOutcome::TimedOut:
            log_.Event("read timed out after " + std::to_string(timeoutMs) + " ms");
            break;
        case ReadOutcome::Failed:
            log_.Event("read failed with error " + Hex32(result.errorCode));
            break;
        }
        return result;
    }

private:
    std::unique_ptr<HidDevice> inner_;
    TraceLog& log_;
    std::string name_;
};

}  // namespace

std::vector<HidInterface> TraceBackend::EnumerateInterfaces() { return inner_.EnumerateInterfaces(); }

std::unique_ptr<HidDevice> TraceBackend::OpenInterface(const std::string& path, OpenAccess access,
                                                       OpenError& error)
{
    std::unique_ptr<HidDevice> device = inner_.OpenInterface(path, access, error);
    const std::string name = std::string(AccessName(access)) + " handle of " + path;
    if (!device) {
        log_.Event("open " + name + " failed: " + error.message);
        return nullptr;
    }
    log_.Event("open " + name);
    return std::make_unique<TraceDevice>(std::move(device), log_, name);
}

std::unique_ptr<DeviceNotification> TraceBackend::RegisterDeviceNotification(NotifyWindow window)
{
    return inner_.RegisterDeviceNotification(window);
}

}  // namespace vornak
