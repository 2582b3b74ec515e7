#include "link/clock.h"

#include <chrono>
#include <thread>

namespace vornak {
namespace {

class SteadyClockImpl final : public Clock {
public:
    uint64_t NowMs() override
    {
        using namespace std::chrono;
        return static_cast<uint64_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void SleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace

Clock& SteadyClock()
{
    static SteadyClockImpl clock;
    return clock;
}

}  // namespace vornak
