#pragma once

namespace vornak {

// Shown under the instructions when the controller is attached but its hidraw
// node may not be opened by this user; one line, so that it fits the window.
inline constexpr const char* kLinuxAccessHint =
    "No access: install udev rule 70-vornak-controller.rules, replug.";

}  // namespace vornak
