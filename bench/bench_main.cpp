// Runs the benchmarks and prints the figures they stand for, one per line.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// Keeps every run the console shows, by name.
class FigureReporter final : public benchmark::ConsoleReporter {
public:
    FigureReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                runs_.emplace(run.benchmark_name(), run);
        ConsoleReporter::ReportRuns(runs);
    }
    const Run* Find(const std::string& name) const
    {
        const auto it = runs_.find(name);
        return it == runs_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, Run> runs_;
};

double Counter(const benchmark::BenchmarkReporter::Run* run, const char* name)
{
    const auto it = run->counters.find(name);
    return it == run->counters.end() ? 0 : it->second.value;
}

void PrintRate(const FigureReporter& r, const char* label, const char* name)
{
    if (const auto* run = r.Find(name))
        std::printf("%s: %.0f MB/s\n", label, Counter(run, "bytes_per_second") / 1e6);
}

void PrintExchange(const FigureReporter& r, const char* label, const char* name)
{
    if (const auto* run = r.Find(name))
        std::printf("%s: %.3f us\n", label, run->GetAdjustedCPUTime() * 1e6 / benchmark::GetTimeUnitMultiplier(run->time_unit));
}

void PrintUpdate(const FigureReporter& r, const char* label, int rttMs, int rerun)
{
    const std::string name = "Update/rtt_ms:" + std::to_string(rttMs) + "/rerun:" + std::to_string(rerun) +
                             "/iterations:1/manual_time";
    const auto* run = r.Find(name);
    if (!run) {
        std::printf("%s (%d ms): not measured\n", label, rttMs);
        return;
    }
    // The link model wakes up late when the machine is busy; that time is the
    // model's, not the tool's, and the second ratio leaves it out.
    const double exchanges = Counter(run, "exchanges");
    const double late = Counter(run, "link_late_us") * exchanges / 1000;
    std::printf("%s (%d ms): %.4f   (wall %.0f ms, floor %.0f ms, %.0f exchanges; link model late %.1f us per "
                "exchange; without that: %.4f)\n",
                label, rttMs, Counter(run, "ratio"), Counter(run, "wall_ms"), Counter(run, "floor_ms"), exchanges,
                Counter(run, "link_late_us"), (Counter(run, "wall_ms") - late) / Counter(run, "floor_ms"));
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    PrintRate(reporter, "Crc16 table-driven", "Crc16Table");
    PrintRate(reporter, "Crc16 bitwise", "Crc16Bitwise");
    PrintExchange(reporter, "host CPU per exchange, CompareBlock (controller's 4 KB Crc16 included)",
                  "CompareBlockExchange");
    PrintExchange(reporter, "host CPU per exchange, WriteChunk", "WriteChunkExchange");
    PrintExchange(reporter, "host CPU per piece or chunk read from the file", "ChunkFileRead");
    PrintUpdate(reporter, "update/floor ratio", 1, 0);
    PrintUpdate(reporter, "update/floor ratio", 2, 0);
    PrintUpdate(reporter, "re-run/floor ratio", 1, 1);
    PrintUpdate(reporter, "re-run/floor ratio", 2, 1);
    if (const auto* run = reporter.Find("Update/rtt_ms:1/rerun:1/iterations:1/manual_time"))
        std::printf("re-run erase and write reports: %.0f\n", Counter(run, "writes"));
    return 0;
}
