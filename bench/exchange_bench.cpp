// Host CPU time of one exchange over a link that costs nothing: what the tool
// itself spends per report, the simulated controller's work included where
// noted.

#include <benchmark/benchmark.h>

#include <array>

#include "image/checksum.h"
#include "image/firmware_builder.h"
#include "image/firmware_file.h"
#include "link/chid.h"
#include "protocol/flash_commands.h"
#include "sim/sim_backend.h"
#include "sim/virtual_clock.h"
#include "support/temp_dir.h"

namespace vornak {
namespace {

// A CHid opened on the simulated controller with a virtual clock.
struct SimLink {
    SimLink() : backend(controller, clock), link(backend), flash(link, clock)
    {
        std::unique_ptr<HidDevice> probe;
        link.FindDevice(probe);
        link.Open();
    }
    sim::VirtualClock clock;
    sim::SimulatedController controller;
    sim::SimBackend backend;
    CHid link;
    FlashCommands flash;
};

// Includes the controller's Crc16 over the 4096 flash bytes it compares.
void CompareBlockExchange(benchmark::State& state)
{
    SimLink sim;
    const uint16_t erased = [] {
        std::array<uint8_t, 4096> block;
        block.fill(0xFF);
        return Crc16(block.data(), 4096);
    }();
    for (auto _ : state) {
        if (!sim.flash.CompareBlock(0x10000, 0x1000, erased))
            state.SkipWithError("CompareBlock not answered");
        if (sim.controller.received().size() > 100000) {
            state.PauseTiming();
            sim.controller.ClearLog();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(CompareBlockExchange);

// The exchange that a written block repeats 67 times. The controller acks a
// repeated chunk, so the same chunk can be sent again and again.
void WriteChunkExchange(benchmark::State& state)
{
    SimLink sim;
    std::array<uint8_t, 47> first{};
    sim.flash.EraseBlock(0, 4096);
    sim.flash.WritePiece(first.data(), 0, 47, 4096);
    std::array<uint8_t, 60> chunk{};
    sim.flash.WriteChunk(0, Sum8(chunk.data(), 60), chunk);
    for (auto _ : state) {
        if (!sim.flash.WriteChunk(0, Sum8(chunk.data(), 60), chunk))
            state.SkipWithError("WriteChunk not acknowledged");
        if (sim.controller.received().size() > 100000) {
            state.PauseTiming();
            sim.controller.ClearLog();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(WriteChunkExchange);

// The positioned file read that goes with every piece and chunk sent.
void ChunkFileRead(benchmark::State& state)
{
    testing::TempDir temp;
    const std::string path = temp.File("firmware.dat");
    WriteBytesToFile(path, PatternData(256 * 1024, 3));
    FirmwareFile file;
    file.Open(path);
    std::array<uint8_t, 60> chunk;
    uint64_t position = 47;
    for (auto _ : state) {
        benchmark::DoNotOptimize(file.ReadFilled(position, chunk));
        position = (position + 60) % (256 * 1024);
    }
}
BENCHMARK(ChunkFileRead);

}  // namespace
}  // namespace vornak
