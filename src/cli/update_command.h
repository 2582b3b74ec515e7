#pragma once

#include <optional>
#include <string>

#include "cli/device_options.h"
#include "cli/flasher_environment.h"
#include "image/firmware_layout.h"

namespace vornak::cli {

struct UpdateOptions {
    std::string file;
    bool assumeYes = false;
    bool verbose = false;
    // Which image to write when the controller does not report its version form.
    std::optional<FirmwareForm> form;
    DeviceOptions device;
};

// The update exactly as the window runs it, on a terminal; returns the exit code.
int RunUpdate(const UpdateOptions& options, const FlasherEnvironment& environment);

}  // namespace vornak::cli
