#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vornak::cli {

// Knobs of the built-in simulated controller, for demos and tests.
struct SimulatorOptions {
    std::string flashFile;  // empty: the flash starts erased and is not kept
    bool singleNumber = false;                // reports its version in the single-number form
    bool silent = false;                      // never answers the version request
    bool accessDenied = false;                // attached but cannot be opened
    std::optional<uint32_t> vanishAfter;      // gone after answering this many reports
};

// Which controller detect and update talk to, and where the trace goes.
struct DeviceOptions {
    bool simulate = false;
    SimulatorOptions simulator;
    std::string deviceCommand;  // non-empty: an external device over the pipe protocol
    std::string traceFile;      // non-empty: trace every report into this file
};

}  // namespace vornak::cli
