#pragma once

#include <string>

#include "cli/flasher_environment.h"

namespace vornak::cli {

// Reads and checks a firmware file without a device: its sections, the
// version text and the blocks of each form, and whether it suits this
// controller. Returns the exit code.
int RunInfo(const std::string& path, const FlasherEnvironment& environment);

}  // namespace vornak::cli
