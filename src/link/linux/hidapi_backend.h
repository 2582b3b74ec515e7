#pragma once

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/hid_backend.h"
#include "link/linux/diagnostic_sink.h"
#include "link/linux/hidapi_library.h"

namespace vornak::linux_hid {

// HID interfaces as hidraw nodes, reached through hidapi.
class HidapiBackend final : public HidBackend {
public:
    HidapiBackend(HidapiCalls calls, DiagnosticSink diagnostics);

    std::vector<HidInterface> EnumerateInterfaces() override;
    std::unique_ptr<HidDevice> OpenInterface(const std::string& path, OpenAccess access,
                                             OpenError& error) override;
    // Arrival and removal come from the front end's udev monitor, which runs
    // before the first enumeration; there is nothing to register here.
    std::unique_ptr<DeviceNotification> RegisterDeviceNotification(NotifyWindow window) override;

private:
    std::shared_ptr<const HidapiLibrary> library_;
    DiagnosticSink diagnostics_;
    std::mutex mutex_;
    std::set<std::string> listedPaths_;  // of the latest enumeration
};

}  // namespace vornak::linux_hid
