#pragma once

#include "cli/flasher_environment.h"

namespace vornak::cli {

// Parses the command line and runs the chosen subcommand; returns the exit code.
int RunFlasher(int argc, const char* const* argv, const FlasherEnvironment& environment);

}  // namespace vornak::cli
