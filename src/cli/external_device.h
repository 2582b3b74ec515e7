#pragma once

#include <memory>
#include <string>

#include "link/hid_backend.h"

namespace vornak::cli {

struct ExternalDevice {
    std::unique_ptr<HidBackend> backend;  // null: this build cannot run one
    std::string problem;                  // why no device is attached, or why there is no backend
};

// Starts command as a device over the pipe protocol; it stays attached for the run.
ExternalDevice StartExternalDevice(const std::string& command);

}  // namespace vornak::cli
