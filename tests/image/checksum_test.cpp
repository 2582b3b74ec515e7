#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "image/checksum.h"

namespace vornak {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(Crc16, CatalogueAndKnownValues)
{
    struct Case {
        std::vector<uint8_t> data;
        uint16_t crc;
    };
    const Case cases[] = {
        {Bytes("123456789"), 0x4B37},
        {Bytes("abc"), 0x5749},
        {{}, 0xFFFF},
        {{0x00}, 0x40BF},
        {std::vector<uint8_t>(4096, 0x00), 0xDFFE},
        {std::vector<uint8_t>(4096, 0xFF), 0xBFFE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Crc16(c.data.data(), static_cast<int32_t>(c.data.size())), c.crc) << c.data.size() << " bytes";
        EXPECT_EQ(Crc16Bitwise(c.data.data(), static_cast<int32_t>(c.data.size())), c.crc);
    }
}

TEST(Crc16, NegativeOrZeroCountReadsNothing)
{
    EXPECT_EQ(Crc16(nullptr, 0), 0xFFFF);
    EXPECT_EQ(Crc16(nullptr, -5), 0xFFFF);
}

TEST(Crc16, TableDrivenEqualsBitwiseOverRandomInputs)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 500; ++round) {
        std::vector<uint8_t> data(random() % 300);
        for (uint8_t& b : data)
            b = static_cast<uint8_t>(random());
        const auto n = static_cast<int32_t>(data.size());
        ASSERT_EQ(Crc16(data.data(), n), Crc16Bitwise(data.data(), n)) << "round " << round;
    }
}

TEST(Sum8, WrapsModulo256)
{
    const auto abc = Bytes("abc");
    const std::vector<uint8_t> ff(60, 0xFF);
    EXPECT_EQ(Sum8(abc.data(), 3), 0x26);
    EXPECT_EQ(Sum8(ff.data(), 60), 0xC4);
    EXPECT_EQ(Sum8(nullptr, 0), 0x00);
}

}  // namespace
}  // namespace vornak
