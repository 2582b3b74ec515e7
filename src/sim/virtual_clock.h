#pragma once

#include <atomic>

#include "link/clock.h"

namespace vornak::sim {

// Time that passes only when someone waits: a 2000 ms pause costs nothing.
class VirtualClock final : public Clock {
public:
    uint64_t NowMs() override { return now_.load(); }
    void SleepMs(uint32_t ms) override { now_ += ms; }
    void AdvanceTo(uint64_t ms)
    {
        uint64_t now = now_.load();
        while (now < ms && !now_.compare_exchange_weak(now, ms)) {
        }
    }

private:
    std::atomic<uint64_t> now_{0};
};

}  // namespace vornak::sim
