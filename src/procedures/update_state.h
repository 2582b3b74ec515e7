#pragma once

#include <atomic>
#include <cstdint>

namespace vornak {

// deviceVersion while no version has been read: no version byte can take it.
inline constexpr uint32_t kVersionNotRead = 0x5a5a5a5a;

// Shared by the window thread and the update worker. Atomics, so that the
// flag handover between the threads is well defined.
struct UpdateState {
    std::atomic<uint32_t> updateRunning{0};
    std::atomic<uint32_t> deviceVersion{0};
    std::atomic<uint32_t> deviceVersionMinor{0};
    std::atomic<uint32_t> deviceBeta{0};
};

}  // namespace vornak
