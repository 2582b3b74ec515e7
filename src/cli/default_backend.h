#pragma once

#include <memory>
#include <string>

#include "link/hid_backend.h"

namespace vornak::cli {

// The platform's HID backend, chosen when the flasher is built; null with the
// reason when this build has none.
std::unique_ptr<HidBackend> MakeDefaultBackend(std::string& whyNot);

// A line for a controller that is attached but cannot be opened; "" for none.
std::string PlatformAccessHint();

}  // namespace vornak::cli
