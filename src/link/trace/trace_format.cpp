#include "link/trace/trace_format.h"

#include <algorithm>
#include <cstdio>

#include "protocol/command_report.h"

namespace vornak {
namespace {

constexpr size_t kCommandColumn = 14;  // wide enough for "WriteImageInfo"

std::string Prefix(uint64_t ms, const char* direction)
{
    char text[40];
    std::snprintf(text, sizeof text, "%10llu ms  %-3s  ", static_cast<unsigned long long>(ms), direction);
    return text;
}

std::string Hex(std::span<const uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i != 0)
            text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string Known(uint8_t command)
{
    const std::string name = CommandName(command);
    return name == "?" ? "-" : name;
}

}  // namespace

std::string TraceCommandName(TraceDirection direction, std::span<const uint8_t> payload)
{
    if (direction == TraceDirection::Out)
        return payload.size() > 1 && payload[0] == kReportMarker ? Known(payload[1]) : "-";
    // A reply echoes its command after 0x00, 0x05 and a zero word.
    const bool reply = payload.size() > 5 && payload[0] == 0 && payload[1] == kReportMarker && payload[2] == 0 &&
                       payload[3] == 0 && payload[5] == 0;
    return reply ? Known(payload[4]) : "-";
}

std::string FormatTraceReport(uint64_t ms, TraceDirection direction, std::span<const uint8_t> payload)
{
    std::string name = TraceCommandName(direction, payload);
    name.resize(std::max(name.size(), kCommandColumn), ' ');
    return Prefix(ms, direction == TraceDirection::Out ? "out" : "in") + name + "  " + Hex(payload);
}

std::string FormatTraceEvent(uint64_t ms, const std::string& what) { return Prefix(ms, "--") + what; }

std::string TraceLegend()
{
    return "# vornak-flash trace: ms since start, out = to the controller / in = from it, command, "
           "the 64 payload bytes in hex";
}

}  // namespace vornak
