#include "link/pipe/pipe_frame_queue.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace vornak::pipe {
namespace {

// Three frames; frame k has report ID 0x70 + k and payload bytes k*64 + i.
std::vector<uint8_t> ThreeFrames()
{
    std::vector<uint8_t> bytes;
    for (uint8_t k = 0; k < 3; ++k) {
        bytes.push_back(static_cast<uint8_t>(0x70 + k));
        for (int i = 0; i < 64; ++i)
            bytes.push_back(static_cast<uint8_t>(k * 64 + i));
    }
    return bytes;
}

struct SplitCase {
    const char* name;
    std::vector<size_t> pieces;  // sizes in which the 195 bytes arrive
};

class PipeFrameQueueSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PipeFrameQueueSplit, DeliversWholeFramesInOrderWithoutTheReportId)
{
    const std::vector<uint8_t> bytes = ThreeFrames();
    PipeFrameQueue queue;
    std::vector<Payload> out;
    size_t at = 0;
    for (size_t piece : GetParam().pieces) {
        queue.Append(std::span<const uint8_t>(bytes.data() + at, piece));
        at += piece;
        while (std::optional<Payload> frame = queue.Pop()) {
            out.push_back(*frame);
            EXPECT_LE(out.size() * kPipeFrameSize, at) << "a frame came out before its last byte";
        }
    }
    ASSERT_EQ(at, bytes.size());
    ASSERT_EQ(out.size(), 3u);
    for (size_t k = 0; k < 3; ++k)
        for (size_t i = 0; i < 64; ++i)
            EXPECT_EQ(out[k][i], static_cast<uint8_t>(k * 64 + i)) << "frame " << k << " byte " << i;
    EXPECT_EQ(queue.partialBytes(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Splits, PipeFrameQueueSplit,
                         ::testing::Values(SplitCase{"all_at_once", {195}}, SplitCase{"frame_by_frame", {65, 65, 65}},
                                           SplitCase{"id_byte_alone", {1, 64, 1, 129}},
                                           SplitCase{"across_frames", {64, 2, 100, 29}},
                                           SplitCase{"one_by_one", std::vector<size_t>(195, 1)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PipeFrameQueue, KeepsAPartialFrameUntilItCompletes)
{
    PipeFrameQueue queue;
    const std::vector<uint8_t> bytes(64, 0xAB);
    queue.Append(bytes);
    EXPECT_FALSE(queue.Pop());
    EXPECT_EQ(queue.partialBytes(), 64u);
    queue.Append(std::vector<uint8_t>{0xCD});
    const std::optional<Payload> frame = queue.Pop();
    ASSERT_TRUE(frame);
    EXPECT_EQ((*frame)[62], 0xAB);
    EXPECT_EQ((*frame)[63], 0xCD);
}

}  // namespace
}  // namespace vornak::pipe
