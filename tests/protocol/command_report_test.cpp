#include <gtest/gtest.h>

#include <vector>

#include "protocol/command_report.h"

namespace vornak {
namespace {

std::vector<uint8_t> Head(const CommandReport& r, size_t n) { return {r.begin(), r.begin() + static_cast<long>(n)}; }

bool ZerosFrom(const CommandReport& r, size_t from)
{
    return std::all_of(r.begin() + static_cast<long>(from), r.end(), [](uint8_t b) { return b == 0; });
}

TEST(CommandReport, EraseBlockExample)
{
    const CommandReport r = BuildHeaderReport(kEraseBlock, 0x1000, 0x2000, {}, PayloadCrc::Computed);
    const std::vector<uint8_t> expected = {0x05, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF,
                                           0x00, 0x10, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00};
    EXPECT_EQ(Head(r, 17), expected);
    EXPECT_TRUE(ZerosFrom(r, 17));
}

TEST(CommandReport, PayloadCrcOfNoBytesIsFfffOnlyWhenComputed)
{
    EXPECT_EQ(BuildHeaderReport(kSaveHead, 0, 0, {}, PayloadCrc::None)[7], 0x00);
    const CommandReport r = BuildHeaderReport(kSaveHead, 0, 0, {}, PayloadCrc::Computed);
    EXPECT_EQ(r[7], 0xFF);
    EXPECT_EQ(r[8], 0xFF);
}

TEST(CommandReport, ShortPayloadLeavesTheRestZero)
{
    const uint8_t one[] = {0x00};
    const CommandReport r = BuildHeaderReport(kWritePiece, 7, 9, one, PayloadCrc::Computed);
    EXPECT_EQ(r[5], 1);
    EXPECT_EQ(r[7], 0xBF);  // Crc16 of one zero byte, low byte first
    EXPECT_EQ(r[8], 0x40);
    EXPECT_TRUE(ZerosFrom(r, 17));
}

TEST(CommandReport, ChunkForm)
{
    std::array<uint8_t, 60> data;
    data.fill(0xFF);
    const CommandReport r = BuildChunkReport(66, 0xC4, data);
    EXPECT_EQ(Head(r, 4), (std::vector<uint8_t>{0x05, 0x0B, 0x42, 0xC4}));
    EXPECT_TRUE(std::all_of(r.begin() + 4, r.end(), [](uint8_t b) { return b == 0xFF; }));
}

TEST(ReplyTest, OnlyTheExactEchoAnswers)
{
    auto reply = [](std::initializer_list<uint8_t> head) {
        ReplyReport r{};
        std::copy(head.begin(), head.end(), r.begin());
        return r;
    };
    const struct {
        ReplyReport reply;
        uint16_t command;
        bool answers;
    } cases[] = {
        {reply({0x00, 0x05, 0x00, 0x00, 0x03, 0x00}), 0x03, true},
        {reply({0x00, 0x05, 0x00, 0x00, 0x03, 0x01}), 0x03, false},  // 0x0103 is not 0x03
        {reply({0x01, 0x05, 0x00, 0x00, 0x03, 0x00}), 0x03, false},
        {reply({0x05, 0x00, 0x00, 0x03, 0x00, 0x00}), 0x03, false},  // shifted down a byte
        {reply({0x00, 0x05, 0x01, 0x00, 0x03, 0x00}), 0x03, false},
        {reply({0x05, 0x03, 0x00, 0x00, 0x00, 0x00}), 0x03, false},  // the request copied back
        {reply({0x00, 0x05, 0x00, 0x00, 0xC3, 0x00}), 0xC3, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplyAnswers(c.reply, c.command), c.answers) << int(c.reply[0]) << " " << int(c.reply[5]);
}

}  // namespace
}  // namespace vornak
