// The pipe backend against vornak-sim, across a real process boundary.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "image/checksum.h"
#include "image/firmware_builder.h"
#include "link/chid.h"
#include "link/pipe/pipe_backend.h"
#include "protocol/flash_commands.h"
#include "sim/virtual_clock.h"
#include "support/temp_dir.h"

namespace vornak {
namespace {

constexpr pipe::PipeTimeouts kQuick{.identityMs = 2000, .exitWaitMs = 500, .writeMs = 500};
constexpr uint32_t kLongWaitMs = 30000;  // a read that waits this long instead of failing at once hangs the test

// One vornak-sim child on the link; the virtual clock makes the commands' pauses free.
class PipeSim : public ::testing::Test {
protected:
    void Start(const std::string& arguments)
    {
        backend_ = std::make_unique<PipeBackend>(std::string(VORNAK_SIM_PATH) + " " + arguments, kQuick);
        link_ = std::make_unique<CHid>(*backend_);
        commands_ = std::make_unique<FlashCommands>(*link_, clock_);
        ASSERT_EQ(link_->IsDevicePresent(), 1) << backend_->startError();
        ASSERT_EQ(link_->Open(), 1);
    }
    void Stop()
    {
        commands_.reset();
        link_.reset();
        backend_.reset();
    }
    void ExpectGone()
    {
        link_->SetTimeout(kLongWaitMs);
        uint8_t payload[64];
        const uint32_t status = link_->ReadReport(payload, 64);
        EXPECT_NE(status, kReadOk);
        EXPECT_NE(status, kReadNotOpen);
        EXPECT_NE(status, kReadTimeout);
        const uint8_t frame[1] = {kReportMarker};
        EXPECT_EQ(link_->WriteFrame(frame, 1), 0);
        EXPECT_EQ(link_->IsDevicePresent(), 0);
    }

    sim::VirtualClock clock_;
    std::unique_ptr<PipeBackend> backend_;
    std::unique_ptr<CHid> link_;
    std::unique_ptr<FlashCommands> commands_;
};

TEST_F(PipeSim, ExchangesCommandsAndTheVersionRequest)
{
    Start("--head-offset 0x2000 --block-size 4096 --version 7 --minor 3");
    uint8_t words[16];
    ASSERT_TRUE(commands_->GetFlashLayout(words));
    const FlashLayout layout = DecodeFlashLayout(words);
    EXPECT_EQ(layout.headOffset, 0x2000u);
    EXPECT_EQ(layout.blockSize, 4096u);

    const std::vector<uint8_t> erased(4096, 0xFF);
    EXPECT_TRUE(commands_->CompareBlock(0x10000, 0x3000, Crc16(erased.data(), 4096)));

    uint8_t request[64] = {kReportMarker, kVersionRequest};
    ASSERT_EQ(link_->WriteReport(request, 0, 64), 1);
    uint8_t reply[64];
    ASSERT_EQ(link_->ReadReport(reply, 64), kReadOk);
    EXPECT_EQ(reply[4], 7);
    EXPECT_EQ(reply[5], 3);
}

TEST_F(PipeSim, AVanishedControllerIsARemoval)
{
    Start("--vanish-after 1");
    uint8_t words[16];
    ASSERT_TRUE(commands_->GetFlashLayout(words));
    EXPECT_FALSE(commands_->SaveHead());
    ExpectGone();
}

TEST_F(PipeSim, ExitOnRestartDeliversTheEndUpdateReplyThenTheDeviceIsGone)
{
    Start("--exit-on-restart");
    EXPECT_TRUE(commands_->EndUpdate());
    ExpectGone();
}

TEST_F(PipeSim, GoesOnAfterTheRestartByDefault)
{
    Start("");
    EXPECT_TRUE(commands_->EndUpdate());
    EXPECT_TRUE(commands_->SaveHead());
}

TEST_F(PipeSim, FaultsFromTheCommandLineApply)
{
    Start("--silent-version --fault drop-reply:SaveHead:from=1:count=1");
    link_->SetTimeout(20);
    uint8_t request[64] = {kReportMarker, kVersionRequest};
    ASSERT_EQ(link_->WriteReport(request, 0, 64), 1);
    uint8_t reply[64];
    EXPECT_EQ(link_->ReadReport(reply, 64), kReadTimeout);
    link_->SetTimeout(kLongWaitMs);
    EXPECT_TRUE(commands_->SaveHead());
    link_->SetTimeout(20);
    EXPECT_FALSE(commands_->SaveHead());
    link_->SetTimeout(kLongWaitMs);
    EXPECT_TRUE(commands_->SaveHead());
}

TEST_F(PipeSim, TheFlashFileIsLoadedAtStartAndSavedAtTheEnd)
{
    testing::TempDir dir;
    const std::string flash = dir.File("flash.bin");
    const std::vector<uint8_t> pattern = PatternData(2 * 4096, 7);
    ASSERT_TRUE(WriteBytesToFile(flash, pattern));

    Start("--flash-size 65536 --flash " + flash);
    EXPECT_TRUE(commands_->CompareBlock(0x10000, 0x1000, Crc16(pattern.data() + 0x1000, 4096)));
    EXPECT_TRUE(commands_->EraseBlock(0x1000, 0x1000));
    Stop();

    std::ifstream in(flash, std::ios::binary);
    const std::vector<uint8_t> saved{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(saved.size(), 65536u);
    EXPECT_TRUE(std::equal(pattern.begin(), pattern.begin() + 0x1000, saved.begin()));
    EXPECT_TRUE(std::all_of(saved.begin() + 0x1000, saved.end(), [](uint8_t b) { return b == 0xFF; }));
}

}  // namespace
}  // namespace vornak
