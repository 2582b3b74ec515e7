#include "link/win32/device_notification_win32.h"

#include "link/win32/scoped_win32.h"

namespace vornak {
namespace {

class DeviceNotificationWin32 final : public DeviceNotification {
public:
    explicit DeviceNotificationWin32(ScopedDeviceNotify registration) : registration_(std::move(registration)) {}

private:
    ScopedDeviceNotify registration_;
};

// Device type, reserved 0, the HID class and an empty name: 32 bytes.
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32);

}  // namespace

std::unique_ptr<DeviceNotification> RegisterHidNotification(HWND window)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    HidD_GetHidGuid(&filter.dbcc_classguid);
    ScopedDeviceNotify registration(RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    if (!registration.IsValid())
        return nullptr;
    return std::make_unique<DeviceNotificationWin32>(std::move(registration));
}

}  // namespace vornak
