#pragma once

#include <vector>

#include "link/hid_backend.h"

namespace vornak {

// Every present HID device interface with the ids its device reports; an
// interface whose attributes cannot be read is listed with 0/0.
std::vector<HidInterface> EnumerateHidInterfaces();

}  // namespace vornak
