#pragma once

#include <cstdint>
#include <string>

#include "app/window_ops.h"

namespace vornak::cli {

// One line of the terminal progress bar:
// "[#######.......]  50%  3/6 blocks  48.0 KiB/s  0:02 left".
// The percentage is the position of the progress rule, shown full past 100.
std::string FormatProgressLine(const BlockProgress& progress, uint64_t elapsedMs, int barWidth = 30);

// m:ss, or h:mm:ss from an hour on.
std::string FormatDuration(uint64_t seconds);

// Where stderr is no terminal the bar becomes plain lines, one per tenth of
// the way and one for the last block: a new line is due when this changes.
int PlainLineStep(const BlockProgress& progress);

}  // namespace vornak::cli
