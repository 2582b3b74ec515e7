#include <gtest/gtest.h>

#include "image/byte_order.h"
#include "image/checksum.h"
#include "protocol/command_report.h"
#include "sim/sim_backend.h"
#include "sim/virtual_clock.h"
#include "support/temp_dir.h"

namespace vornak::sim {
namespace {

Report Header(uint16_t command, uint32_t length, uint32_t address, std::span<const uint8_t> payload = {},
              PayloadCrc crc = PayloadCrc::Computed)
{
    return BuildHeaderReport(command, length, address, payload, crc);
}

std::optional<Report> Only(const std::vector<TimedReport>& out)
{
    if (out.size() != 1)
        return std::nullopt;
    return out[0].bytes;
}

// Writes one whole block at address: first piece, 67 chunks, last piece.
void WriteBlock(SimulatedController& c, uint32_t address, const std::vector<uint8_t>& block)
{
    ASSERT_TRUE(Only(c.HandleOutputReport(Header(kWritePiece, 4096, address, {block.data(), 47}))));
    for (uint8_t i = 0; i < 67; ++i) {
        std::span<const uint8_t, 60> chunk(block.data() + 47 + 60 * i, 60);
        ASSERT_TRUE(Only(c.HandleOutputReport(BuildChunkReport(i, Sum8(chunk.data(), 60), chunk))));
    }
    ASSERT_TRUE(Only(c.HandleOutputReport(Header(kWritePiece, 4096, address + 4067, {block.data() + 4067, 29}))));
}

TEST(SimulatedController, LayoutReplyCarriesAllFourWords)
{
    SimConfig config;
    config.headOffset = 0x30;
    SimulatedController c(config);
    const auto reply = Only(c.HandleOutputReport(Header(kGetFlashLayout, 0, 0, {}, PayloadCrc::None)));
    ASSERT_TRUE(reply);
    EXPECT_TRUE(ReplyAnswers(*reply, kGetFlashLayout));
    EXPECT_EQ(LoadLe32(&(*reply)[18]), 0x30u);
    EXPECT_NE(LoadLe32(&(*reply)[22]), 0u);
    EXPECT_NE(LoadLe32(&(*reply)[26]), 0u);
    EXPECT_EQ(LoadLe32(&(*reply)[30]), 4096u);
}

TEST(SimulatedController, FlashIsWrittenOnlyAfterAnEraseAndComparedByItsOwnCrc)
{
    SimulatedController c;
    std::vector<uint8_t> block(4096);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7);
    c.flash().assign(c.flash().size(), 0x00);  // programmed: writes cannot set bits again
    WriteBlock(c, 0x1000, block);
    EXPECT_EQ(c.flash()[0x1000 + 1], 0x00);

    ASSERT_TRUE(Only(c.HandleOutputReport(Header(kEraseBlock, 4096, 0x1000))));
    WriteBlock(c, 0x1000, block);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), c.flash().begin() + 0x1000));

    uint8_t payload[12] = {};
    StoreLe32(payload, 0x1000);
    StoreLe32(payload + 4, 4096);
    const auto reply = Only(c.HandleOutputReport(Header(kCompareBlock, 4096, 0x1000, payload, PayloadCrc::None)));
    ASSERT_TRUE(reply);
    EXPECT_EQ(LoadLe32(&(*reply)[14]), 0x1000u);
    EXPECT_EQ(LoadLe16(&(*reply)[18]), Crc16(block.data(), 4096));
}

TEST(SimulatedController, DropsMalformedRequestsUnanswered)
{
    SimulatedController c;
    const std::array<uint8_t, 60> data{};
    uint8_t piece[47] = {};
    Report badCrc = Header(kWritePiece, 4096, 0, piece);
    badCrc[7] ^= 1;
    ASSERT_TRUE(Only(c.HandleOutputReport(Header(kEraseBlock, 4096, 0))));
    const struct {
        const char* name;
        Report request;
    } cases[] = {
        {"chunk before any first piece", BuildChunkReport(0, 0, data)},
        {"piece with a wrong checksum", badCrc},
        {"erase past the end of flash", Header(kEraseBlock, 4096, c.config().flashSize)},
        {"unknown command", Header(0x55, 0, 0)},
    };
    for (const auto& k : cases)
        EXPECT_TRUE(c.HandleOutputReport(k.request).empty()) << k.name;
    ASSERT_TRUE(Only(c.HandleOutputReport(Header(kWritePiece, 4096, 0, piece))));
    EXPECT_TRUE(c.HandleOutputReport(BuildChunkReport(1, 0, data)).empty()) << "chunk out of order";
    EXPECT_TRUE(c.HandleOutputReport(BuildChunkReport(0, 1, data)).empty()) << "chunk with a wrong sum";
    EXPECT_TRUE(Only(c.HandleOutputReport(BuildChunkReport(0, 0, data))));
    EXPECT_TRUE(Only(c.HandleOutputReport(BuildChunkReport(0, 0, data)))) << "a repeat is acknowledged again";
    EXPECT_EQ(c.CountAccepted(kWriteChunk), 1u);
}

TEST(SimulatedController, FaultRulesApplyToTheChosenOccurrences)
{
    SimulatedController c({}, {{Fault(FaultKind::DropReply, kSaveHead, std::nullopt, std::nullopt, 1, 1),
                                Fault(FaultKind::NoiseFirst, kGetFlashLayout),
                                Fault(FaultKind::LateReply, kEndUpdate, std::nullopt, std::nullopt, 0,
                                      UINT32_MAX, 700)}});
    const Report saveHead = Header(kSaveHead, 0, 0, {}, PayloadCrc::None);
    EXPECT_EQ(c.HandleOutputReport(saveHead).size(), 1u);
    EXPECT_TRUE(c.HandleOutputReport(saveHead).empty());
    EXPECT_EQ(c.HandleOutputReport(saveHead).size(), 1u);
    const auto layout = c.HandleOutputReport(Header(kGetFlashLayout, 0, 0, {}, PayloadCrc::None));
    ASSERT_EQ(layout.size(), 2u);
    EXPECT_FALSE(ReplyAnswers(layout[0].bytes, kGetFlashLayout));
    EXPECT_TRUE(ReplyAnswers(layout[1].bytes, kGetFlashLayout));
    const auto end = c.HandleOutputReport(Header(kEndUpdate, 0, 0, {}, PayloadCrc::None));
    ASSERT_EQ(end.size(), 1u);
    EXPECT_EQ(end[0].delayMs, 700u);
    EXPECT_EQ(c.presence(), Presence::Restarting);
}

TEST(SimBackend, EndUpdateRestartsTheControllerAsARemovalAndAnArrival)
{
    SimulatedController c;
    VirtualClock clock;
    SimBackend backend(c, clock);
    std::vector<bool> events;
    backend.SetPresenceListener([&](bool arrived) { events.push_back(arrived); });
    OpenError error;
    auto device = backend.OpenInterface(SimBackend::kDevicePath, OpenAccess::Read, error);
    ASSERT_TRUE(device);
    std::array<uint8_t, 65> wire{};
    const Report end = Header(kEndUpdate, 0, 0, {}, PayloadCrc::None);
    std::copy(end.begin(), end.end(), wire.begin() + 1);
    ASSERT_TRUE(device->WriteReport(wire));
    std::array<uint8_t, 64> reply{};
    EXPECT_EQ(device->ReadReport(reply, 200).outcome, ReadOutcome::Report);  // the reply still arrives
    EXPECT_EQ(device->ReadReport(reply, 200).outcome, ReadOutcome::Failed);
    EXPECT_TRUE(backend.EnumerateInterfaces().empty());
    clock.SleepMs(c.config().restartMs);
    EXPECT_EQ(backend.EnumerateInterfaces().size(), 1u);
    EXPECT_EQ(events, (std::vector<bool>{false, true}));
    EXPECT_FALSE(device->WriteReport(wire));  // handles from before the restart stay dead
}

TEST(SimulatedController, FlashPersistsThroughAFile)
{
    testing::TempDir dir;
    SimulatedController a;
    a.flash()[5] = 0x42;
    ASSERT_TRUE(a.SaveFlash(dir.File("flash.bin")));
    SimulatedController b;
    EXPECT_FALSE(b.LoadFlash(dir.File("none.bin")));
    EXPECT_EQ(b.flash()[5], 0xFF);
    ASSERT_TRUE(b.LoadFlash(dir.File("flash.bin")));
    EXPECT_EQ(b.flash()[5], 0x42);
}

}  // namespace
}  // namespace vornak::sim
