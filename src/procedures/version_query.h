#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "app/window_ops.h"
#include "link/chid.h"
#include "procedures/update_state.h"
#include "protocol/report_exchange.h"

namespace vornak {

// Failed reads the version query accepts before it gives up: with the 200 ms
// time-out, about a second of silence.
inline constexpr int kVersionReadAttempts = 5;

struct VersionQueryContext {
    WindowOps& ops;
    CHid& link;
    ReportExchange& exchange;
    UpdateState& state;
    std::atomic<uint32_t>& singleNumberVersion;
    std::string productTitle;
};

// Sends the version request; 1 when the write succeeded, -1 when it failed.
int SendVersionRequest(CHid& link);

// Asks the controller for its version. On a reply: fills the state, enables
// the button and returns the version title, which the caller applies after
// its handler has returned. Returns "" when no version was read.
std::string QueryDeviceVersion(VersionQueryContext& context);

}  // namespace vornak
