#pragma once

#include <optional>
#include <string>

#include "sim/simulated_controller.h"

namespace vornak::sim {

// Everything vornak-sim takes from its command line, in both of its modes.
struct SimToolOptions {
    SimConfig config;
    SimFaults faults;
    std::string flashFile;       // loaded at start if it exists, saved at the end
    bool exitOnRestart = false;  // pipe mode: end after the EndUpdate reply
    bool uhid = false;           // present the controller to the kernel instead of the pipe
    bool verbose = false;        // one line per command on standard error
};

// Fills options from the command line. Returns the exit code when the program
// must stop at once (--help, a bad option, with the message printed), nothing
// when it should run.
std::optional<int> ParseSimOptions(int argc, const char* const* argv, SimToolOptions& options);

}  // namespace vornak::sim
