#include "cli/progress_line.h"

#include <algorithm>
#include <cstdio>

#include "image/file_block_crc.h"

namespace vornak::cli {
namespace {

constexpr int kFullPercent = 100;
constexpr int kPlainSteps = 10;

int ShownPercent(const BlockProgress& progress) { return std::clamp(progress.position, 0, kFullPercent); }

}  // namespace

std::string FormatDuration(uint64_t seconds)
{
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60), static_cast<unsigned long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60));
    return text;
}

std::string FormatProgressLine(const BlockProgress& progress, uint64_t elapsedMs, int barWidth)
{
    const int percent = ShownPercent(progress);
    const int filled = percent * barWidth / kFullPercent;
    std::string line(1, '[');
    line.append(filled, '#').append(barWidth - filled, '.').append(1, ']');

    char numbers[64];
    std::snprintf(numbers, sizeof numbers, " %3d%%  %u/%u blocks", percent, progress.blocksHandled,
                  progress.blocksTotal);
    line += numbers;

    // Every block carries 4096 file bytes, whatever it cost on the wire.
    if (elapsedMs == 0 || progress.blocksHandled == 0)
        return line + "  --.- KiB/s  --:-- left";
    const double kib = progress.blocksHandled * (kFileBlockSize / 1024.0);
    char rate[32];
    std::snprintf(rate, sizeof rate, "  %.1f KiB/s", kib * 1000.0 / static_cast<double>(elapsedMs));
    const uint32_t remaining = progress.blocksTotal > progress.blocksHandled
                                   ? progress.blocksTotal - progress.blocksHandled
                                   : 0;
    const uint64_t leftMs = uint64_t{remaining} * elapsedMs / progress.blocksHandled;
    return line + rate + "  " + FormatDuration((leftMs + 999) / 1000) + " left";
}

int PlainLineStep(const BlockProgress& progress)
{
    if (progress.blocksTotal != 0 && progress.blocksHandled >= progress.blocksTotal)
        return kPlainSteps + 1;
    return ShownPercent(progress) * kPlainSteps / kFullPercent;
}

}  // namespace vornak::cli
