#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/hid_backend.h"
#include "link/trace/trace_log.h"

namespace vornak {

// Wraps any backend and writes every report exchanged through the devices it
// opens, and every open, time-out and failure, to a trace log. It changes
// nothing that passes through.
class TraceBackend final : public HidBackend {
public:
    TraceBackend(HidBackend& inner, TraceLog& log) : inner_(inner), log_(log) {}

    std::vector<HidInterface> EnumerateInterfaces() override;
    std::unique_ptr<HidDevice> OpenInterface(const std::string& path, OpenAccess access,
                                             OpenError& error) override;
    std::unique_ptr<DeviceNotification> RegisterDeviceNotification(NotifyWindow window) override;

private:
    HidBackend& inner_;
    TraceLog& log_;
};

}  // namespace vornak
