#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vornak {

enum class TraceDirection { Out, In };

// The command a report carries, as a person reads it: the command byte of an
// output report, the echoed command of a reply, "-" when the report has neither.
std::string TraceCommandName(TraceDirection direction, std::span<const uint8_t> payload);

// One line of the trace: milliseconds since start, direction, command, the
// payload bytes in hex, no line end.
std::string FormatTraceReport(uint64_t ms, TraceDirection direction, std::span<const uint8_t> payload);

// A line for what is no report: an open, a time-out, a failure.
std::string FormatTraceEvent(uint64_t ms, const std::string& what);

// The file's first line, saying how to read the others.
std::string TraceLegend();

}  // namespace vornak
