#include <gtest/gtest.h>

#include <array>

#include "image/checksum.h"
#include "image/file_block_crc.h"
#include "image/firmware_builder.h"
#include "image/firmware_file.h"
#include "support/temp_dir.h"

namespace vornak {
namespace {

TEST(FirmwareFile, BlockCrcIsPositionedAndIndependentOfThePreviousRead)
{
    testing::TempDir dir;
    const std::vector<uint8_t> bytes = PatternData(10000, 7);
    const std::string path = dir.File("a.dat");
    ASSERT_TRUE(WriteBytesToFile(path, bytes));
    FirmwareFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(file.Size(), 10000u);
    const uint16_t expected = Crc16(bytes.data() + 1234, 4096);
    EXPECT_EQ(fileBlockCrc(file, 1234), expected);
    std::array<uint8_t, 10> scratch{};
    file.ReadAt(9000, scratch);
    EXPECT_EQ(fileBlockCrc(file, 1234), expected);
}

TEST(FirmwareFile, BytesPastTheEndReadAsErasedFlash)
{
    testing::TempDir dir;
    const std::vector<uint8_t> bytes = PatternData(5000, 9);
    const std::string path = dir.File("short.dat");
    ASSERT_TRUE(WriteBytesToFile(path, bytes));
    FirmwareFile file;
    ASSERT_TRUE(file.Open(path));

    std::vector<uint8_t> block(bytes.begin() + 4000, bytes.end());
    block.resize(4096, 0xFF);
    EXPECT_EQ(fileBlockCrc(file, 4000), Crc16(block.data(), 4096));
    std::array<uint8_t, 60> chunk{};
    ASSERT_TRUE(file.ReadFilled(4990, chunk));
    EXPECT_EQ(chunk[9], bytes[4999]);
    EXPECT_EQ(chunk[10], 0xFF);
    EXPECT_EQ(fileBlockCrc(file, 1u << 20), 0xBFFE);  // wholly past the end: an erased block
}

TEST(FirmwareFile, OpenRefusesMissingFilesAndFolders)
{
    testing::TempDir dir;
    FirmwareFile file;
    EXPECT_FALSE(file.Open(dir.File("missing.dat")));
    EXPECT_FALSE(file.Open(dir.File("")));
    EXPECT_FALSE(file.IsOpen());
}

}  // namespace
}  // namespace vornak
