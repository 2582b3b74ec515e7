#include <gtest/gtest.h>

#include <algorithm>

#include "image/byte_order.h"
#include "protocol/command_report.h"
#include "support/dialog_fixture.h"

namespace vornak {
namespace {

using sim::FaultKind;
using sim::FaultRule;
using testing::DialogRig;
using testing::SampleFirmware;

constexpr uint32_t kSection2Base = 0x40000;
constexpr uint32_t kSection3Base = 0x80000;

size_t Sent(const sim::SimulatedController& c, uint8_t command)
{
    return static_cast<size_t>(std::count_if(c.received().begin(), c.received().end(),
                                             [&](const sim::ReceivedCommand& r) { return r.command == command; }));
}

size_t WritesSent(const sim::SimulatedController& c)
{
    return Sent(c, kEraseBlock) + Sent(c, kWritePiece) + Sent(c, kWriteChunk);
}

bool FlashHolds(const sim::SimulatedController& c, const std::vector<uint8_t>& file, uint64_t first,
                uint32_t base, uint32_t length)
{
    return std::equal(file.begin() + static_cast<long>(first), file.begin() + static_cast<long>(first + length),
                      c.flash().begin() + base);
}

sim::SimConfig SingleNumberController()
{
    sim::SimConfig config;
    config.version = {true, 0x1B, 0, 0};
    return config;
}

// Opens the dialog against the controller and forgets what start-up recorded.
void Start(DialogRig& rig)
{
    rig.Init();
    rig.window.ClearEvents();
    rig.controller.ClearLog();
}

UpdateEnd Update(DialogRig& rig, const std::vector<uint8_t>& bytes)
{
    rig.Update(rig.WriteFile("fw.dat", bytes));
    return rig.dialog->lastUpdateEnd();
}

// The controller restarts after EndUpdate; let it come back and be queried.
void Reattach(DialogRig& rig)
{
    rig.clock.SleepMs(rig.controller.config().restartMs);
    rig.dialog->OnDeviceChange(0x8000);
    rig.window.RunPosted();
    rig.controller.ClearLog();
    rig.window.ClearEvents();
}

std::vector<std::string> Progress(DialogRig& rig) { return rig.window.EventsStartingWith("progress"); }

TEST(UpdateProcedure, WritesBothImagesOfTheTwoNumberFormThenSkipsThemOnARerun)
{
    DialogRig rig;
    Start(rig);
    const std::vector<uint8_t> file = SampleFirmware(10000, 5000, 3000);
    ASSERT_EQ(Update(rig, file), UpdateEnd::Succeeded);
    EXPECT_TRUE(FlashHolds(rig.controller, file, 28, 0, 10000));
    EXPECT_TRUE(FlashHolds(rig.controller, file, 56 + 10000, kSection2Base, 5000));
    EXPECT_EQ(rig.controller.flash()[kSection3Base], 0xFF);  // section 3 is not for this form
    EXPECT_EQ(rig.dialog->lastUpdateStats().blocksWritten, 3u + 2u);
    EXPECT_EQ(rig.window.EventsStartingWith("message"), std::vector<std::string>{"message Updated successful!"});

    // The record: F1, section 1 version word, F2, section 2 version word.
    std::vector<uint8_t> record(16);
    StoreLe32(&record[0], 10000);
    StoreLe32(&record[4], 1);
    StoreLe32(&record[8], 5000);
    StoreLe32(&record[12], 5);
    EXPECT_EQ(rig.controller.imageInfo(), record);

    Reattach(rig);
    ASSERT_EQ(Update(rig, file), UpdateEnd::Succeeded);
    EXPECT_EQ(WritesSent(rig.controller), 0u);
    EXPECT_EQ(rig.dialog->lastUpdateStats().blocksMatched, 5u);
    EXPECT_EQ(rig.window.EventsStartingWith("message"), std::vector<std::string>{"message Updated successful!"});
}

TEST(UpdateProcedure, SingleNumberFormWritesSectionThreeFromItsHeadOffset)
{
    sim::SimConfig config = SingleNumberController();
    config.headOffset = 0x100;
    DialogRig rig(config);
    Start(rig);
    ASSERT_EQ(rig.dialog->singleNumberVersion.load(), 1u);
    const std::vector<uint8_t> file = SampleFirmware(5000, 100, 9000);
    rig.window.answers = {MessageResult::Ok};
    ASSERT_EQ(Update(rig, file), UpdateEnd::Succeeded);
    EXPECT_EQ(rig.window.EventsStartingWith("confirm"), std::vector<std::string>{"confirm firmware V300"});
    const uint64_t first = 84 + 5000 + 100 + 0x100;
    EXPECT_TRUE(FlashHolds(rig.controller, file, first, kSection3Base, 9000 - 0x100));
    EXPECT_EQ(rig.controller.flash()[0], 0xFF);  // sections 1 and 2 untouched
    std::vector<uint8_t> record(8);
    StoreLe32(&record[0], 9000);  // fileContent as it stands, headOffset not subtracted
    StoreLe32(&record[4], 300);
    EXPECT_EQ(rig.controller.imageInfo(), record);
    EXPECT_EQ(rig.dialog->singleNumberVersion.load(), 0u);  // cleared by the success end
}

TEST(UpdateProcedure, HeadOffsetSkipsTheStartOfSectionOneOnly)
{
    sim::SimConfig config;
    config.headOffset = 0x40;
    DialogRig rig(config);
    Start(rig);
    const std::vector<uint8_t> file = SampleFirmware(9000, 4096, 10);
    ASSERT_EQ(Update(rig, file), UpdateEnd::Succeeded);
    EXPECT_TRUE(FlashHolds(rig.controller, file, 28 + 0x40, 0, 9000 - 0x40));
    EXPECT_TRUE(FlashHolds(rig.controller, file, 56 + 9000, kSection2Base, 4096));
}

TEST(UpdateProcedure, ProgressPositionsFollowTheBytesHandled)
{
    const struct {
        bool single;
        size_t s1, s2, s3;
        std::vector<std::string> positions;
    } cases[] = {
        {false, 40960, 0, 10,
         {"progress 10", "progress 20", "progress 30", "progress 40", "progress 50", "progress 60", "progress 70",
          "progress 80", "progress 90", "progress 100", "progress 0"}},
        {false, 8200, 0, 10, {"progress 49", "progress 99", "progress 149", "progress 0"}},
        {false, 12288, 4096, 10, {"progress 25", "progress 50", "progress 75", "progress 100", "progress 0"}},
        {true, 100, 0, 16384, {"progress 25", "progress 50", "progress 75", "progress 100", "progress 0"}},
    };
    for (const auto& c : cases) {
        DialogRig rig(c.single ? SingleNumberController() : sim::SimConfig{});
        Start(rig);
        ASSERT_EQ(Update(rig, SampleFirmware(c.s1, c.s2, c.s3)), UpdateEnd::Succeeded);
        EXPECT_EQ(Progress(rig), c.positions) << c.s1 << "/" << c.s2 << "/" << c.s3;
    }
}

TEST(UpdateProcedure, SuccessEndInItsOrder)
{
    DialogRig rig;
    Start(rig);
    std::vector<uint32_t> runningAtMessage;
    rig.window.onMessage = [&](const std::string&) { runningAtMessage.push_back(rig.dialog->state.updateRunning); };
    ASSERT_EQ(Update(rig, SampleFirmware(4096, 0, 10)), UpdateEnd::Succeeded);
    const std::vector<std::string> expected = {"label hide", "choose", "button off", "confirm firmware V1.5",
                                               "progress 100", "progress 0", "message Updated successful!",
                                               "label show", "button on"};
    const auto events = rig.window.Events();
    ASSERT_GE(events.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + static_cast<long>(expected.size())),
              expected);
    EXPECT_EQ(runningAtMessage, (std::vector<uint32_t>{1, 0}));  // cleared before EndUpdate
    EXPECT_EQ(rig.controller.received().back().command, kEndUpdate);
    EXPECT_FALSE(rig.dialog->firmwareFile.IsOpen());
    EXPECT_EQ(rig.dialog->state.updateRunning.load(), 0u);
}

TEST(UpdateProcedure, CancelSendsNothingToTheController)
{
    DialogRig rig;
    Start(rig);
    rig.window.answers = {MessageResult::Cancel};
    EXPECT_EQ(Update(rig, SampleFirmware(5000, 10, 10)), UpdateEnd::Cancelled);
    EXPECT_TRUE(rig.controller.received().empty());
    EXPECT_TRUE(rig.window.EventsStartingWith("message").empty());
    EXPECT_TRUE(rig.window.buttonEnabled);
    EXPECT_FALSE(rig.dialog->firmwareFile.IsOpen());
    EXPECT_EQ(rig.dialog->state.updateRunning.load(), 0u);
}

TEST(UpdateProcedure, SingleNumberFlagIsKeptAtTheCancelEnd)
{
    DialogRig rig(SingleNumberController());
    Start(rig);
    rig.window.answers = {MessageResult::Cancel};
    EXPECT_EQ(Update(rig, SampleFirmware(5000, 10, 5000)), UpdateEnd::Cancelled);
    EXPECT_EQ(rig.dialog->singleNumberVersion.load(), 1u);
}

TEST(UpdateProcedure, SilentStopsSendNoWrites)
{
    const struct {
        const char* name;
        uint32_t pid;
        size_t s1;
        uint32_t blockSize;
        bool layoutAnswered;
        bool confirmShown;
    } cases[] = {
        {"wrong pid", 0x2010, 5000, 4096, true, false},
        {"layout not answered", 0x200F, 5000, 4096, false, true},
        {"block size 0", 0x200F, 5000, 0, true, true},
        {"block size other than 4096", 0x200F, 5000, 8192, true, true},
        {"empty main section", 0x200F, 0, 4096, true, true},
    };
    for (const auto& c : cases) {
        sim::SimConfig config;
        config.blockSize = c.blockSize;
        sim::SimFaults faults;
        if (!c.layoutAnswered)
            faults.rules.push_back(sim::Fault(FaultKind::DropReply, kGetFlashLayout));
        DialogRig rig(config, faults);
        Start(rig);
        EXPECT_EQ(Update(rig, SampleFirmware(c.s1, 10, 10, c.pid)), UpdateEnd::SilentStop) << c.name;
        EXPECT_EQ(WritesSent(rig.controller), 0u) << c.name;
        EXPECT_EQ(rig.window.EventsStartingWith("confirm").size(), c.confirmShown ? 1u : 0u) << c.name;
        EXPECT_TRUE(rig.window.EventsStartingWith("message").empty()) << c.name;
        EXPECT_TRUE(std::any_of(rig.window.debugLines.begin(), rig.window.debugLines.end(),
                                [](const std::string& line) { return line.rfind("update stopped: ", 0) == 0; }))
            << c.name;
        EXPECT_TRUE(rig.window.buttonEnabled) << c.name;
        EXPECT_FALSE(rig.dialog->firmwareFile.IsOpen()) << c.name;
        if (!c.confirmShown) {
            EXPECT_TRUE(rig.controller.received().empty()) << c.name;
        }
    }
}

TEST(UpdateProcedure, InvalidFilesAreRefusedBeforeAnythingIsWritten)
{
    std::vector<uint8_t> truncated = SampleFirmware(5000, 100, 3000);
    truncated.resize(truncated.size() - 1);
    std::vector<uint8_t> lying = SampleFirmware(5000, 100, 3000);
    StoreLe32(&lying[8], 0xFFFFFFF0u);  // section 1 claims more than the file holds
    sim::SimConfig bigHead;
    bigHead.headOffset = 6000;
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        sim::SimConfig config;
        bool layoutAsked;
    } cases[] = {
        {"truncated section 3", truncated, {}, false},
        {"lying size", lying, {}, false},
        {"head offset beyond section 1", SampleFirmware(5000, 100, 3000), bigHead, true},
    };
    for (const auto& c : cases) {
        DialogRig rig(c.config);
        Start(rig);
        EXPECT_EQ(Update(rig, c.file), UpdateEnd::InvalidFile) << c.name;
        EXPECT_EQ(rig.window.EventsStartingWith("message"), std::vector<std::string>{"message 文件不匹配"}) << c.name;
        EXPECT_EQ(rig.window.captions.back(), "Vornak Update v2.16");
        EXPECT_EQ(WritesSent(rig.controller), 0u) << c.name;
        EXPECT_EQ(Sent(rig.controller, kGetFlashLayout), c.layoutAsked ? 1u : 0u) << c.name;
        EXPECT_TRUE(rig.window.buttonEnabled);
        EXPECT_FALSE(rig.dialog->firmwareFile.IsOpen());
        EXPECT_EQ(rig.dialog->state.updateRunning.load(), 0u);
    }
}

TEST(UpdateProcedure, FailureEndLeavesProgressAndFormAlone)
{
    // Single-number image at 0x80000: block 3's first piece is never acknowledged.
    sim::SimFaults faults;
    faults.rules.push_back(sim::Fault(FaultKind::DropRequest, kWritePiece, 47, kSection3Base + 3 * 4096));
    DialogRig rig(SingleNumberController(), faults);
    Start(rig);
    rig.window.onMessage = [&](const std::string& text) {
        if (text == "Updated failed!") {
            EXPECT_TRUE(rig.dialog->firmwareFile.IsOpen());  // closed only once the box is closed
        }
    };
    EXPECT_EQ(Update(rig, SampleFirmware(10, 10, 5 * 4096)), UpdateEnd::Failed);
    const auto events = rig.window.Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2], "message Updated failed!");
    EXPECT_EQ(events.back(), "button on");
    // Block 3 was left erased but counted; block 4 was still written.
    EXPECT_EQ(Progress(rig), (std::vector<std::string>{"progress 20", "progress 40", "progress 60", "progress 80",
                                                       "progress 100"}));
    EXPECT_EQ(rig.controller.flash()[kSection3Base + 3 * 4096 + 100], 0xFF);
    EXPECT_EQ(rig.dialog->singleNumberVersion.load(), 1u);
    EXPECT_FALSE(rig.dialog->firmwareFile.IsOpen());
}

TEST(UpdateProcedure, FailedEraseEndsOnlyItsOwnPass)
{
    sim::SimFaults faults;
    faults.rules.push_back(sim::Fault(FaultKind::DropReply, kEraseBlock, std::nullopt, 2 * 4096));
    DialogRig rig({}, faults);
    Start(rig);
    const std::vector<uint8_t> file = SampleFirmware(5 * 4096, 4096, 10);
    EXPECT_EQ(Update(rig, file), UpdateEnd::Failed);
    // Blocks 0 and 1 counted (D1 = 8192 of 24576), then section 2's one block.
    EXPECT_EQ(Progress(rig), (std::vector<std::string>{"progress 16", "progress 33", "progress 50"}));
    EXPECT_TRUE(FlashHolds(rig.controller, file, 56 + 5 * 4096, kSection2Base, 4096));
}

TEST(UpdateProcedure, UnacknowledgedChunkIsResentAFewTimesThenFailsTheBlock)
{
    {
        sim::SimFaults faults;
        faults.rules.push_back(sim::Fault(FaultKind::DropRequest, kWriteChunk, std::nullopt, std::nullopt, 10, 2));
        DialogRig rig({}, faults);
        Start(rig);
        EXPECT_EQ(Update(rig, SampleFirmware(4096 * 3, 0, 10)), UpdateEnd::Succeeded);
        EXPECT_EQ(Sent(rig.controller, kWriteChunk), 3u * 67u + 2u);
    }
    {
        sim::SimFaults faults;
        faults.rules.push_back(sim::Fault(FaultKind::DropRequest, kWriteChunk, std::nullopt, std::nullopt, 67 + 10));
        DialogRig rig({}, faults);
        Start(rig);
        EXPECT_EQ(Update(rig, SampleFirmware(4096 * 3, 4096, 10)), UpdateEnd::Failed);
        // Block 1's chunk 10 was sent kChunkSendAttempts times; the pass ended there,
        // and section 2's pass still ran: its chunks are dropped too by the rule.
        EXPECT_EQ(Sent(rig.controller, kWriteChunk), 67u + 11u + (kChunkSendAttempts - 1) + kChunkSendAttempts);
        EXPECT_EQ(Progress(rig), (std::vector<std::string>{"progress 25"}));
    }
}

TEST(UpdateProcedure, UnacknowledgedLastPieceEndsThePassUncounted)
{
    sim::SimFaults faults;
    faults.rules.push_back(sim::Fault(FaultKind::DropRequest, kWritePiece, 29, 4096 + 4067));
    DialogRig rig({}, faults);
    Start(rig);
    EXPECT_EQ(Update(rig, SampleFirmware(4 * 4096, 4096, 10)), UpdateEnd::Failed);
    EXPECT_EQ(Progress(rig), (std::vector<std::string>{"progress 20", "progress 40"}));
    EXPECT_EQ(Sent(rig.controller, kEraseBlock), 3u);  // blocks 0, 1 and section 2's block
}

TEST(UpdateProcedure, HeadIsCheckedEvenWhenSaveHeadIsNotAcknowledged)
{
    {
        // Block 0 stays erased: without the head check this would read as success.
        sim::SimFaults faults;
        faults.rules.push_back(sim::Fault(FaultKind::DropReply, kSaveHead));
        faults.rules.push_back(sim::Fault(FaultKind::DropRequest, kWritePiece, 47, 0));
        DialogRig rig({}, faults);
        Start(rig);
        EXPECT_EQ(Update(rig, SampleFirmware(4 * 4096, 10, 10)), UpdateEnd::Failed);
    }
    {
        sim::SimFaults faults;
        faults.rules.push_back(sim::Fault(FaultKind::DropReply, kSaveHead));
        DialogRig rig({}, faults);
        Start(rig);
        EXPECT_EQ(Update(rig, SampleFirmware(4 * 4096, 10, 10)), UpdateEnd::Succeeded);
    }
}

TEST(UpdateProcedure, TwoBlockMainImageIsCoveredByTheHeadCheckAlone)
{
    DialogRig rig;
    Start(rig);
    EXPECT_EQ(Update(rig, SampleFirmware(8192, 0, 10)), UpdateEnd::Succeeded);
    // Write pass: 2 compares; verification: none; head check: 2.
    EXPECT_EQ(Sent(rig.controller, kCompareBlock), 4u);
}

TEST(UpdateProcedure, UnansweredCloseIsNoFailureAndAMissedCompareMeansRewrite)
{
    sim::SimFaults faults;
    faults.rules.push_back(sim::Fault(FaultKind::DropReply, kWriteImageInfo));
    faults.rules.push_back(sim::Fault(FaultKind::DropReply, kEndUpdate));
    DialogRig rig({}, faults);
    Start(rig);
    const std::vector<uint8_t> file = SampleFirmware(3 * 4096, 0, 10);
    ASSERT_EQ(Update(rig, file), UpdateEnd::Succeeded);

    // Every block matches now, but the first compare's reply is lost: that block is rewritten.
    rig.backend.Plug();  // the dropped EndUpdate reply leaves the controller off the bus
    Reattach(rig);
    rig.controller.faults().rules = {sim::Fault(FaultKind::DropReply, kCompareBlock, std::nullopt, std::nullopt, 0, 1)};
    ASSERT_EQ(Update(rig, file), UpdateEnd::Succeeded);
    EXPECT_EQ(Sent(rig.controller, kEraseBlock), 1u);
}

TEST(UpdateProcedure, ShortLastBlockIsPaddedWithErasedBytes)
{
    DialogRig rig(SingleNumberController());
    Start(rig);
    const std::vector<uint8_t> file = SampleFirmware(10, 10, 5000);  // section 3 ends the file mid-block
    ASSERT_EQ(Update(rig, file), UpdateEnd::Succeeded);
    EXPECT_TRUE(FlashHolds(rig.controller, file, 84 + 20, kSection3Base, 5000));
    EXPECT_EQ(rig.controller.flash()[kSection3Base + 5000], 0xFF);
}

TEST(UpdateProcedure, SecondStartWhileRunningDoesNothing)
{
    DialogRig rig;
    Start(rig);
    rig.dialog->state.updateRunning = 1;
    rig.dialog->RunFirmwareUpdateIfIdle();
    EXPECT_TRUE(rig.controller.received().empty());
    EXPECT_TRUE(rig.window.Events().empty());
    EXPECT_EQ(rig.dialog->state.updateRunning.load(), 1u);
}

TEST(UpdateProcedure, NothingHappensBeforeTheControllerWasEverFound)
{
    DialogRig rig;
    rig.dialog->RunFirmwareUpdateIfIdle();
    EXPECT_EQ(rig.dialog->lastUpdateEnd(), UpdateEnd::NotRecognised);
    EXPECT_TRUE(rig.window.Events().empty());
    EXPECT_EQ(rig.dialog->state.updateRunning.load(), 0u);
}

}  // namespace
}  // namespace vornak
