#pragma once

#include <cstdint>

namespace vornak {

// Time source for every wait of the protocol (read time-outs, command pauses).
// Production passes the steady clock; tests and the in-process simulated
// controller pass a virtual clock, so a 2000 ms pause costs nothing.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowMs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
};

// The real clock: std::chrono::steady_clock and std::this_thread::sleep_for.
Clock& SteadyClock();

}  // namespace vornak
