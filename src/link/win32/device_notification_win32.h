#pragma once

#include <memory>

#include "link/hid_backend.h"
#include "link/win32/win32_api.h"

namespace vornak {

// Registers window for arrival and removal of HID device interfaces; the
// registration ends with the returned object. Null when the system refuses.
std::unique_ptr<DeviceNotification> RegisterHidNotification(HWND window);

}  // namespace vornak
