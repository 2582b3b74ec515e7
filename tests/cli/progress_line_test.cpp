#include "cli/progress_line.h"

#include <vector>

#include <gtest/gtest.h>

namespace vornak::cli {
namespace {

BlockProgress Progress(int position, uint32_t handled, uint32_t total)
{
    BlockProgress p;
    p.position = position;
    p.blocksHandled = handled;
    p.blocksTotal = total;
    return p;
}

TEST(ProgressLine, ShowsRulePositionBlocksRateAndTimeLeft)
{
    struct Case {
        BlockProgress progress;
        uint64_t elapsedMs;
        int width;
        std::string expected;
    };
    const Case cases[] = {
        // 2 blocks of 4 KiB in one second: 8 KiB/s, 4 blocks to go take 2 s.
        {Progress(33, 2, 6), 1000, 10, "[###.......]  33%  2/6 blocks  8.0 KiB/s  0:02 left"},
        {Progress(100, 6, 6), 3000, 10, "[##########] 100%  6/6 blocks  8.0 KiB/s  0:00 left"},
        // A last block past the image's end moves the rule past 100: the bar shows full.
        {Progress(149, 3, 3), 1500, 4, "[####] 100%  3/3 blocks  8.0 KiB/s  0:00 left"},
        // Nothing measured yet: no rate, no estimate.
        {Progress(16, 1, 6), 0, 6, "[......]  16%  1/6 blocks  --.- KiB/s  --:-- left"},
        // Time left rounds up to whole seconds: 1 block at 0.4 s per block.
        {Progress(50, 1, 2), 400, 2, "[#.]  50%  1/2 blocks  10.0 KiB/s  0:01 left"},
        {Progress(1, 1, 200), 1000, 1, "[.]   1%  1/200 blocks  4.0 KiB/s  3:19 left"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatProgressLine(c.progress, c.elapsedMs, c.width), c.expected);
}

TEST(ProgressLine, DurationsAsMinutesAndHours)
{
    EXPECT_EQ(FormatDuration(0), "0:00");
    EXPECT_EQ(FormatDuration(59), "0:59");
    EXPECT_EQ(FormatDuration(61), "1:01");
    EXPECT_EQ(FormatDuration(3599), "59:59");
    EXPECT_EQ(FormatDuration(3600 + 62), "1:01:02");
}

// The plain lines of a log: one per tenth of the way, and the last block.
TEST(ProgressLine, PlainLinesComeAtEachTenthAndAtTheEnd)
{
    std::vector<uint32_t> printed;
    int last = -1;
    const uint32_t total = 40;
    for (uint32_t handled = 1; handled <= total; ++handled) {
        const int step = PlainLineStep(Progress(static_cast<int>(handled * 100 / total), handled, total));
        if (step != last)
            printed.push_back(handled);
        last = step;
    }
    EXPECT_EQ(printed, (std::vector<uint32_t>{1, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40}));
}

TEST(ProgressLine, LastBlockGetsItsLineEvenWhenTheRuleStopsShort)
{
    // An image that ends early keeps the rule below 100 at its last block.
    EXPECT_NE(PlainLineStep(Progress(95, 9, 10)), PlainLineStep(Progress(96, 10, 10)));
}

}  // namespace
}  // namespace vornak::cli
