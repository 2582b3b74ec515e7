#include "link/win32/hid_report_framing.h"

#include <algorithm>

namespace vornak {

bool PayloadFromInputReport(std::span<const uint8_t> received, std::span<uint8_t, kReportPayloadSize> payload)
{
    if (received.size() != kInputReportSize)
        return false;
    std::copy(received.begin() + 1, received.end(), payload.begin());
    return true;
}

}  // namespace vornak
