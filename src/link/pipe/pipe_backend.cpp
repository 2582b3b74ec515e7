#include "link/pipe/pipe_backend.h"

namespace vornak {
namespace {

class PipeDevice final : public HidDevice {
public:
    explicit PipeDevice(std::shared_ptr<pipe::PipeLink> link) : link_(std::move(link)) {}
    bool WriteReport(std::span<const uint8_t> report) override { return link_->Write(report); }
    ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs) override
    {
        return link_->Read(payload, timeoutMs);
    }

private:
    std::shared_ptr<pipe::PipeLink> link_;
};

class PipeRegistration final : public DeviceNotification {};

}  // namespace

PipeBackend::PipeBackend(const std::string& command, const pipe::PipeTimeouts& timeouts)
    : path_(kPathPrefix + command), link_(pipe::PipeLink::Connect(command, timeouts, startError_))
{
}

std::vector<HidInterface> PipeBackend::EnumerateInterfaces()
{
    if (!link_ || !link_->identity() || !link_->Present())
        return {};
    return {{path_, link_->identity()->vendorId, link_->identity()->productId}};
}

std::unique_ptr<HidDevice> PipeBackend::OpenInterface(const std::string& path, OpenAccess, OpenError& error)
{
    if (path != path_ || !link_ || !link_->identity() || !link_->Present()) {
        error = {OpenFailure::NotFound, "open " + path + ": No such device"};
        return nullptr;
    }
    return std::make_unique<PipeDevice>(link_);
}

std::unique_ptr<DeviceNotification> PipeBackend::RegisterDeviceNotification(NotifyWindow)
{
    return std::make_unique<PipeRegistration>();
}

}  // namespace vornak
