#pragma once

#include "link/hid_backend.h"

namespace vornak {

// HID access through SetupAPI, the HID library and overlapped file I/O.
class HidBackendWin32 final : public HidBackend {
public:
    std::vector<HidInterface> EnumerateInterfaces() override;
    std::unique_ptr<HidDevice> OpenInterface(const std::string& path, OpenAccess access,
                                             OpenError& error) override;
    std::unique_ptr<DeviceNotification> RegisterDeviceNotification(NotifyWindow window) override;
};

}  // namespace vornak
