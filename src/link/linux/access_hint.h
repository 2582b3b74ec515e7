#pragma once

namespace vornak {

// Shown under the instructions when the controller is attached but its hidraw
// node may not be opened by this user.
inline constexpr const char* kLinuxAccessHint =
    "No access to the controller: install the udev rule 70-vornak-controller.rules "
    "(see README), then unplug and replug the controller.";

}  // namespace vornak
