#pragma once

#include <memory>
#include <string>

#include "link/hid_backend.h"
#include "link/linux/diagnostic_sink.h"
#include "link/linux/hidapi_library.h"

namespace vornak::linux_hid {

// One hidraw node opened through hidapi; closed by the destructor.
class HidapiDevice final : public HidDevice {
public:
    HidapiDevice(std::shared_ptr<const HidapiLibrary> library, hid_device* handle, std::string path,
                 DiagnosticSink diagnostics);
    ~HidapiDevice() override;
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    bool WriteReport(std::span<const uint8_t> report) override;
    ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs) override;

private:
    void Diagnose(const std::string& call, const std::string& what) const;

    std::shared_ptr<const HidapiLibrary> library_;
    hid_device* handle_;
    std::string path_;
    DiagnosticSink diagnostics_;
};

}  // namespace vornak::linux_hid
