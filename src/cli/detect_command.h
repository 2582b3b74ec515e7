#pragma once

#include "cli/device_options.h"
#include "cli/flasher_environment.h"

namespace vornak::cli {

struct DetectOptions {
    bool verbose = false;
    DeviceOptions device;
};

// Discovery and the version query: prints the device path and the version
// title; returns the exit code.
int RunDetect(const DetectOptions& options, const FlasherEnvironment& environment);

}  // namespace vornak::cli
