#include "link/win32/hid_backend_win32.h"

#include "link/win32/device_notification_win32.h"
#include "link/win32/hid_device_win32.h"
#include "link/win32/hid_enumeration_win32.h"
#include "link/win32/hid_open_win32.h"
#include "link/win32/wide_text.h"

namespace vornak {

std::vector<HidInterface> HidBackendWin32::EnumerateInterfaces() { return EnumerateHidInterfaces(); }

std::unique_ptr<HidDevice> HidBackendWin32::OpenInterface(const std::string& path, OpenAccess access,
                                                          OpenError& error)
{
    ScopedFileHandle handle = OpenHidPath(WideFromUtf8(path), access, error);
    if (!handle.IsValid())
        return nullptr;
    return std::make_unique<HidDeviceWin32>(std::move(handle), access);
}

std::unique_ptr<DeviceNotification> HidBackendWin32::RegisterDeviceNotification(NotifyWindow window)
{
    return RegisterHidNotification(static_cast<HWND>(window));
}

}  // namespace vornak
