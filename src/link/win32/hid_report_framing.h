#pragma once

#include <cstdint>
#include <span>

#include "link/hid_backend.h"

namespace vornak {

// ReadFile on a HID handle returns the report-ID byte followed by the report,
// even for devices without numbered reports.
inline constexpr size_t kInputReportSize = kReportPayloadSize + 1;

// Copies the payload (everything after the report ID) of one input report as
// ReadFile returned it. A report of any other length than kInputReportSize is
// refused and the payload is not touched.
bool PayloadFromInputReport(std::span<const uint8_t> received, std::span<uint8_t, kReportPayloadSize> payload);

}  // namespace vornak
