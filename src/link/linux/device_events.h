#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vornak {

enum class DeviceAction { Add, Remove, Change };

// A udev action string; anything but "add" and "remove" is some other change.
DeviceAction ParseDeviceAction(std::string_view action);

// The device-change events the dialog gets for one action, in order.
std::vector<uint32_t> DeviceChangeEvents(DeviceAction action);

}  // namespace vornak
