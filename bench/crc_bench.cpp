#include <benchmark/benchmark.h>

#include "image/checksum.h"
#include "image/firmware_builder.h"

namespace {

// One firmware block, the unit every checksum of the update covers.
const std::vector<uint8_t>& Block()
{
    static const std::vector<uint8_t> block = vornak::PatternData(4096, 7);
    return block;
}

void Crc16Table(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(vornak::Crc16(Block().data(), static_cast<int32_t>(Block().size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Block().size()));
}
BENCHMARK(Crc16Table);

void Crc16Bitwise(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(vornak::Crc16Bitwise(Block().data(), static_cast<int32_t>(Block().size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Block().size()));
}
BENCHMARK(Crc16Bitwise);

}  // namespace
