#include <gtest/gtest.h>

#include <numeric>

#include "image/byte_order.h"
#include "link/chid.h"
#include "link/fake_backend.h"
#include "protocol/flash_commands.h"
#include "sim/virtual_clock.h"

namespace vornak {
namespace {

using testing::FakeBackend;

ReplyReport Answer(uint16_t command)
{
    ReplyReport r{};
    r[1] = 0x05;
    StoreLe16(&r[4], command);
    return r;
}

FakeBackend::ScriptedRead Noise()
{
    ReplyReport r{};
    r[0] = 0x01;
    return FakeBackend::Report(r);
}

// What went out on the wire, without the report-ID byte.
std::vector<uint8_t> Sent(const std::vector<uint8_t>& wire) { return {wire.begin() + 1, wire.end()}; }

class FlashCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        backend.interfaces = {{"dev/c", kSupportedVendorId, kSupportedProductId}};
        ASSERT_EQ(link.IsDevicePresent(), 1);
        ASSERT_EQ(link.Open(), 1);
    }
    void Reply(const ReplyReport& r) { backend.reads.push_back(FakeBackend::Report(r)); }

    FakeBackend backend;
    CHid link{backend};
    sim::VirtualClock clock;
    FlashCommands flash{link, clock};
};

TEST_F(FlashCommandsTest, GetFlashLayoutSendsItsHeaderAndReturnsAllFourWords)
{
    ReplyReport r = Answer(kGetFlashLayout);
    std::iota(r.begin() + 18, r.begin() + 34, uint8_t{1});
    Reply(r);
    uint8_t words[16] = {};
    ASSERT_TRUE(flash.GetFlashLayout(words));
    EXPECT_TRUE(std::equal(std::begin(words), std::end(words), r.begin() + 18));
    ASSERT_EQ(backend.written.size(), 1u);
    std::vector<uint8_t> expected(64, 0);
    expected[0] = 0x05;
    expected[1] = 0xC1;
    EXPECT_EQ(Sent(backend.written[0]), expected);
    EXPECT_EQ(clock.NowMs(), 16u);  // the pause before the read
    EXPECT_EQ(DecodeFlashLayout(words).blockSize, LoadLe32(&r[30]));
}

TEST_F(FlashCommandsTest, GetFlashLayoutLeavesTheDestinationOnFailure)
{
    uint8_t words[16];
    std::fill(std::begin(words), std::end(words), uint8_t{0xEE});
    EXPECT_FALSE(flash.GetFlashLayout(words));
    EXPECT_EQ(words[0], 0xEE);
}

TEST_F(FlashCommandsTest, CompareBlockExampleAndItsTwoExtraTests)
{
    ReplyReport good = Answer(kCompareBlock);
    StoreLe32(&good[14], 0x3000);
    StoreLe16(&good[18], 0xBEEF);
    ReplyReport wrongAddress = good;
    StoreLe32(&wrongAddress[14], 0x4000);
    ReplyReport wrongCrc = good;
    StoreLe16(&wrongCrc[18], 0xBEEE);
    Reply(good);
    Reply(wrongAddress);
    Reply(wrongCrc);
    EXPECT_TRUE(flash.CompareBlock(0x10000, 0x3000, 0xBEEF));
    EXPECT_FALSE(flash.CompareBlock(0x10000, 0x3000, 0xBEEF));
    EXPECT_FALSE(flash.CompareBlock(0x10000, 0x3000, 0xBEEF));
    const std::vector<uint8_t> head = {0x05, 0xC3, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x00,
                                       0x00, 0x01, 0x00, 0x00, 0x30, 0x00, 0x00, 0x00, 0x30, 0x00,
                                       0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    const std::vector<uint8_t> sent = Sent(backend.written[0]);
    ASSERT_EQ(sent.size(), 64u);
    EXPECT_EQ(std::vector<uint8_t>(sent.begin(), sent.begin() + 29), head);
    EXPECT_TRUE(std::all_of(sent.begin() + 29, sent.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(FlashCommandsTest, WritePieceFillsTheReportOrLeavesItsTailZero)
{
    std::array<uint8_t, 47> piece;
    std::iota(piece.begin(), piece.end(), uint8_t{1});
    Reply(Answer(kWritePiece));
    Reply(Answer(kWritePiece));
    EXPECT_TRUE(flash.WritePiece(piece.data(), 0x1000, 47, 0x8000));
    EXPECT_TRUE(flash.WritePiece(piece.data(), 0x1FE3, 29, 0x8000));
    const std::vector<uint8_t> full = Sent(backend.written[0]);
    EXPECT_EQ(full[5], 47);
    EXPECT_EQ(full[63], 47);
    const std::vector<uint8_t> last = Sent(backend.written[1]);
    EXPECT_EQ(last[5], 29);
    EXPECT_EQ(last[45], 29);
    EXPECT_TRUE(std::all_of(last.begin() + 46, last.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(FlashCommandsTest, WriteImageInfoCarriesItsLengthTwice)
{
    Reply(Answer(kWriteImageInfo));
    uint8_t record[16];
    std::iota(std::begin(record), std::end(record), uint8_t{1});
    EXPECT_TRUE(flash.WriteImageInfo(record));
    const std::vector<uint8_t> sent = Sent(backend.written[0]);
    EXPECT_EQ(sent[5], 16);
    EXPECT_EQ(LoadLe32(&sent[9]), 16u);
    EXPECT_EQ(LoadLe32(&sent[13]), 0u);
    EXPECT_TRUE(std::all_of(sent.begin() + 33, sent.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(FlashCommandsTest, AcknowledgedWritesReadUpToTwentyTimesAndNeverResend)
{
    std::array<uint8_t, 60> chunk{};
    for (int i = 0; i < 19; ++i)
        backend.reads.push_back(Noise());
    Reply(Answer(kWriteChunk));
    EXPECT_TRUE(flash.WriteChunk(0, 0, chunk));

    for (int i = 0; i < 20; ++i)
        backend.reads.push_back(Noise());
    Reply(Answer(kWriteChunk));
    EXPECT_FALSE(flash.WriteChunk(0, 0, chunk));
    EXPECT_EQ(backend.written.size(), 2u);

    // A late answer to an earlier command uses up a read.
    backend.reads.clear();
    Reply(Answer(kWritePiece));
    EXPECT_FALSE(flash.WriteChunk(0, 0, chunk));
}

TEST_F(FlashCommandsTest, EndUpdatePausesBeforeItSends)
{
    Reply(Answer(kEndUpdate));
    EXPECT_TRUE(flash.EndUpdate());
    EXPECT_EQ(clock.NowMs(), 2000u);
    ASSERT_EQ(backend.readTimeouts.size(), 1u);
}

TEST_F(FlashCommandsTest, EraseWaitsThroughSilenceUpToItsBound)
{
    backend.clock = &clock;
    for (int i = 0; i < 5; ++i)
        backend.reads.push_back({ReadOutcome::TimedOut, {}, 0});
    backend.reads.push_back(Noise());
    Reply(Answer(kEraseBlock));
    EXPECT_TRUE(flash.EraseBlock(0x2000, 0x1000));
    EXPECT_EQ(clock.NowMs(), 1000u);  // a slow erase is waited for

    const uint64_t start = clock.NowMs();
    EXPECT_FALSE(flash.EraseBlock(0x2000, 0x1000));  // the controller never answers
    EXPECT_GE(clock.NowMs() - start, uint64_t{kEraseReplyWaitMs});
    EXPECT_LT(clock.NowMs() - start, uint64_t{kEraseReplyWaitMs} + 200);
}

TEST_F(FlashCommandsTest, EraseDoesNotReadAfterAFailedSend)
{
    backend.writesFail = true;
    Reply(Answer(kEraseBlock));
    EXPECT_FALSE(flash.EraseBlock(0x2000, 0x1000));
    EXPECT_EQ(backend.reads.size(), 1u);
    EXPECT_TRUE(backend.readTimeouts.empty());
}

TEST_F(FlashCommandsTest, EraseFailsAtOnceWhenTheDeviceIsGone)
{
    backend.reads.push_back({ReadOutcome::Failed, {}, 0x48F});
    Reply(Answer(kEraseBlock));
    EXPECT_FALSE(flash.EraseBlock(0x2000, 0x1000));
    EXPECT_EQ(backend.reads.size(), 1u);  // stopped reading at the failure
}

}  // namespace
}  // namespace vornak
