// One whole update of a 256 KB image against the simulated controller over a
// link with a fixed round trip, in real time, set against the protocol's
// floor: every exchange costs one round trip, plus the mandated pauses.

#include <benchmark/benchmark.h>

#include "app/update_dlg.h"
#include "image/firmware_builder.h"
#include "protocol/flash_commands.h"
#include "reliability/image_blocks.h"
#include "round_trip_link.h"
#include "sim/sim_backend.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"

namespace vornak::bench {
namespace {

constexpr size_t kImageBytes = 256 * 1024;  // 64 blocks

std::vector<uint8_t> Firmware()
{
    const SectionSource sections[3] = {
        {1, 0, 0, gamepad_type, PatternData(kImageBytes, 11)},
        {5, 0, 0x40000, 0, {}},
        {300, 0, 0x80000, 0, {}},
    };
    return BuildFirmwareFile(sections);
}

size_t FlashChangingReports(const sim::SimulatedController& controller)
{
    size_t n = 0;
    for (const sim::ReceivedCommand& c : controller.received())
        n += c.command == kEraseBlock || c.command == kWritePiece || c.command == kWriteChunk;
    return n;
}

// Args: round trip in ms; 0 for a first update (every block changed), 1 for a
// re-run against a controller that already holds the image.
void Update(benchmark::State& state)
{
    const auto roundTrip = std::chrono::milliseconds(state.range(0));
    const bool rerun = state.range(1) != 0;
    const std::vector<uint8_t> file = Firmware();
    testing::TempDir temp;
    const std::string path = temp.File("firmware.dat");
    WriteBytesToFile(path, file);

    for (auto _ : state) {
        sim::SimulatedController controller;
        if (rerun)
            for (const reliability::ImageBlock& block : reliability::ExpectedBlocks(file, FirmwareForm::TwoNumber, 0))
                reliability::Preload(controller, block);
        sim::SimBackend sim(controller, SteadyClock());
        RoundTripLink link(sim, roundTrip);
        testing::RecordingWindow window;
        CUpdateDlg dialog(DialogEnvironment{window, link, SteadyClock(), [] { return kLanguageEnglishUs; }, ""});
        dialog.OnInitDialog();
        window.RunPosted();
        controller.ClearLog();
        link.ResetCounts();

        const auto start = RoundTripLink::Clock::now();
        window.chosenFile = path;
        dialog.OnUpdateButtonClicked();
        dialog.WaitForUpdateWorker();
        const std::chrono::duration<double, std::milli> wall = RoundTripLink::Clock::now() - start;

        if (dialog.lastUpdateEnd() != UpdateEnd::Succeeded)
            state.SkipWithError("the update did not succeed");
        const double floorMs = static_cast<double>(link.requests()) * static_cast<double>(roundTrip.count()) +
                               kGetFlashLayoutPauseMs + kEndUpdatePauseMs;
        state.SetIterationTime(wall.count() / 1000);
        state.counters["ratio"] = wall.count() / floorMs;
        state.counters["wall_ms"] = wall.count();
        state.counters["floor_ms"] = floorMs;
        state.counters["exchanges"] = static_cast<double>(link.requests());
        state.counters["writes"] = static_cast<double>(FlashChangingReports(controller));
        state.counters["link_late_us"] =
            std::chrono::duration<double, std::micro>(link.lateness()).count() / static_cast<double>(link.requests());
    }
}
BENCHMARK(Update)
    ->ArgNames({"rtt_ms", "rerun"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vornak::bench
