// Every fault of the link at every phase of an update, in both forms: the run
// ends as the procedure's rules say, within a bound of virtual time, and
// "Updated successful!" only ever comes with every image block in flash.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fault_rig.h"
#include "image/firmware_builder.h"
#include "protocol/report_exchange.h"

namespace vornak {

void PrintTo(UpdateEnd end, std::ostream* os)
{
    static const char* const names[] = {"None",         "NotRecognised", "SilentStop", "Cancelled",
                                        "InvalidFile", "Failed",        "Succeeded"};
    *os << names[static_cast<int>(end)];
}

namespace reliability {
namespace {

using sim::FaultKind;
using sim::FaultRule;

constexpr uint32_t kHeadOffset = 64;
constexpr uint32_t kSection2Base = 0x40000;
constexpr uint32_t kSection3Base = 0x80000;
constexpr uint32_t kBlock = 4096;

// A run with one fault costs at most one exhausted 20-read wait (4 s) plus the
// 2 s pause before EndUpdate; the bound leaves room for twice that and more.
constexpr uint64_t kRunBoundMs = 30'000;

// Later than one read, but within the 20-read window and the erase wait.
constexpr uint32_t kLateMs = kOpenTimeoutMs + 100;
constexpr uint32_t kInTimeMs = 50;
// Past the 20-read window and the erase wait: the reply is never waited for.
constexpr uint32_t kVeryLateMs = kAcknowledgeReads * kOpenTimeoutMs + 1000;

// Three blocks of section 1 and one short block of section 2 (two-number
// form); four blocks of section 3, the last one reaching past the end of the
// file (single-number form). The head offset skips the first 64 data bytes.
std::vector<uint8_t> MatrixFirmware()
{
    const SectionSource sections[3] = {
        {1, 0, 0, gamepad_type, PatternData(kHeadOffset + 3 * kBlock, 11)},
        {5, 0, kSection2Base, 0, PatternData(4000, 22)},
        {300, 0, kSection3Base, 0, PatternData(kHeadOffset + 4 * kBlock - 100, 33)},
    };
    return BuildFirmwareFile(sections);
}

// Blocks 0, 1 and 2 of the main image. Block 1 already holds its bytes, so its
// compare decides between a skip and a rewrite; block 2 is written and is the
// first block of the verification.
struct MainBlocks {
    uint32_t m0, m1, m2;
};

MainBlocks MainBlocksOf(FirmwareForm form)
{
    const uint32_t base = form == FirmwareForm::TwoNumber ? 0 : kSection3Base;
    return {base, base + kBlock, base + 2 * kBlock};
}

enum class Phase {
    Layout,
    WriteCompare,
    Erase,
    FirstPiece,
    Chunk,
    LastPiece,
    Verification,
    SaveHead,
    HeadCheck,
    ImageRecord,
    End
};

enum class Fault { DropReply, DropRequest, Late, InTime, VeryLate, NoiseFirst, StaleFirst, Corrupt, Vanish };

const char* Name(Phase p)
{
    switch (p) {
    case Phase::Layout: return "Layout";
    case Phase::WriteCompare: return "WriteCompare";
    case Phase::Erase: return "Erase";
    case Phase::FirstPiece: return "FirstPiece";
    case Phase::Chunk: return "Chunk";
    case Phase::LastPiece: return "LastPiece";
    case Phase::Verification: return "Verification";
    case Phase::SaveHead: return "SaveHead";
    case Phase::HeadCheck: return "HeadCheck";
    case Phase::ImageRecord: return "ImageRecord";
    case Phase::End: return "End";
    }
    return "?";
}

const char* Name(Fault f)
{
    switch (f) {
    case Fault::DropReply: return "ReplyDropped";
    case Fault::DropRequest: return "RequestDropped";
    case Fault::Late: return "ReplyLate";
    case Fault::InTime: return "ReplyDelayedInTime";
    case Fault::VeryLate: return "ReplyPastEveryWait";
    case Fault::NoiseFirst: return "UnrelatedReportFirst";
    case Fault::StaleFirst: return "StaleReportFirst";
    case Fault::Corrupt: return "ReplyCorrupted";
    case Fault::Vanish: return "ControllerVanishes";
    }
    return "?";
}

// The one command of the run that the fault hits.
FaultRule Target(Phase phase, FirmwareForm form)
{
    const MainBlocks m = MainBlocksOf(form);
    FaultRule rule;
    rule.count = 1;
    switch (phase) {
    case Phase::Layout: rule.command = kGetFlashLayout; break;
    case Phase::WriteCompare: rule.command = kCompareBlock; rule.address = m.m1; break;
    case Phase::Erase: rule.command = kEraseBlock; rule.address = m.m2; break;
    case Phase::FirstPiece:
        rule.command = kWritePiece;
        rule.pieceLength = kFirstPieceLength;
        rule.address = m.m2;
        break;
    case Phase::Chunk:
        // Chunk 10 of block 2: block 0's 67 chunks come first, block 1 is skipped.
        rule.command = kWriteChunk;
        rule.firstOccurrence = kChunkCount + 10;
        break;
    case Phase::LastPiece:
        rule.command = kWritePiece;
        rule.pieceLength = kLastPieceLength;
        rule.address = m.m2 + kLastPieceOffset;
        break;
    case Phase::Verification:
        rule.command = kCompareBlock;
        rule.address = m.m2;
        rule.firstOccurrence = 1;  // the first is the write pass's
        break;
    case Phase::SaveHead: rule.command = kSaveHead; break;
    case Phase::HeadCheck:
        rule.command = kCompareBlock;
        rule.address = m.m0;
        rule.firstOccurrence = 1;
        break;
    case Phase::ImageRecord: rule.command = kWriteImageInfo; break;
    case Phase::End: rule.command = kEndUpdate; break;
    }
    return rule;
}

FaultRule RuleFor(Phase phase, Fault fault, FirmwareForm form)
{
    FaultRule rule = Target(phase, form);
    switch (fault) {
    case Fault::DropReply: rule.kind = FaultKind::DropReply; break;
    case Fault::DropRequest: rule.kind = FaultKind::DropRequest; break;
    case Fault::Late: rule.kind = FaultKind::LateReply; rule.delayMs = kLateMs; break;
    case Fault::InTime: rule.kind = FaultKind::LateReply; rule.delayMs = kInTimeMs; break;
    case Fault::VeryLate: rule.kind = FaultKind::LateReply; rule.delayMs = kVeryLateMs; break;
    case Fault::NoiseFirst: rule.kind = FaultKind::NoiseFirst; break;
    case Fault::StaleFirst: rule.kind = FaultKind::StaleFirst; break;
    case Fault::Corrupt: rule.kind = FaultKind::CorruptReply; break;
    case Fault::Vanish: rule.kind = FaultKind::Vanish; break;
    }
    return rule;
}

struct MatrixRow {
    Phase phase;
    Fault fault;
    UpdateEnd twoNumber;
    UpdateEnd singleNumber;
};

void PrintTo(const MatrixRow& row, std::ostream* os) { *os << Name(row.phase) << " " << Name(row.fault); }

constexpr UpdateEnd kOk = UpdateEnd::Succeeded;
constexpr UpdateEnd kFail = UpdateEnd::Failed;
constexpr UpdateEnd kStop = UpdateEnd::SilentStop;

// Single reads (layout, compares, SaveHead) take the first report that comes:
// a late, stale or unrelated one fails them, and a reply left over fails the
// next single read. The 20-read waits and the erase wait skip such reports.
// The controller acknowledges a repeated chunk, so a lost chunk ack costs one
// resend. A block left short (erase or piece failed) fails its verification.
// clang-format off
const MatrixRow kMatrix[] = {
    {Phase::Layout, Fault::DropReply,   kStop, kStop},
    {Phase::Layout, Fault::DropRequest, kStop, kStop},
    {Phase::Layout, Fault::Late,        kStop, kStop},  // read after the 16 ms pause gives up at 216 ms
    {Phase::Layout, Fault::InTime,      kOk,   kOk},
    {Phase::Layout, Fault::VeryLate,    kStop, kStop},
    {Phase::Layout, Fault::NoiseFirst,  kStop, kStop},
    {Phase::Layout, Fault::StaleFirst,  kStop, kStop},  // the version reply comes again
    {Phase::Layout, Fault::Corrupt,     kStop, kStop},
    {Phase::Layout, Fault::Vanish,      kStop, kStop},

    // An unconfirmed match only costs a rewrite of block 1.
    {Phase::WriteCompare, Fault::DropReply,   kOk,   kOk},
    {Phase::WriteCompare, Fault::DropRequest, kOk,   kOk},
    {Phase::WriteCompare, Fault::Late,        kOk,   kOk},  // the erase wait skips the late compare reply
    {Phase::WriteCompare, Fault::InTime,      kOk,   kOk},
    // The late reply holds up the erase ack past the erase wait: the pass ends
    // at block 1, which the controller has erased, and block 2 stays unwritten.
    {Phase::WriteCompare, Fault::VeryLate,    kFail, kFail},
    {Phase::WriteCompare, Fault::NoiseFirst,  kOk,   kOk},
    {Phase::WriteCompare, Fault::StaleFirst,  kOk,   kOk},
    {Phase::WriteCompare, Fault::Corrupt,     kOk,   kOk},
    {Phase::WriteCompare, Fault::Vanish,      kFail, kFail},

    // The erase took effect or not; either way block 2 is left unwritten.
    {Phase::Erase, Fault::DropReply,   kFail, kFail},
    {Phase::Erase, Fault::DropRequest, kFail, kFail},
    {Phase::Erase, Fault::Late,        kOk,   kOk},
    {Phase::Erase, Fault::InTime,      kOk,   kOk},
    {Phase::Erase, Fault::VeryLate,    kFail, kFail},
    {Phase::Erase, Fault::NoiseFirst,  kOk,   kOk},
    {Phase::Erase, Fault::StaleFirst,  kOk,   kOk},
    {Phase::Erase, Fault::Corrupt,     kFail, kFail},
    {Phase::Erase, Fault::Vanish,      kFail, kFail},

    // An unacknowledged first piece leaves block 2 erased (or holding 47 bytes).
    {Phase::FirstPiece, Fault::DropReply,   kFail, kFail},
    {Phase::FirstPiece, Fault::DropRequest, kFail, kFail},
    {Phase::FirstPiece, Fault::Late,        kOk,   kOk},
    {Phase::FirstPiece, Fault::InTime,      kOk,   kOk},
    {Phase::FirstPiece, Fault::VeryLate,    kFail, kFail},
    {Phase::FirstPiece, Fault::NoiseFirst,  kOk,   kOk},
    {Phase::FirstPiece, Fault::StaleFirst,  kOk,   kOk},
    {Phase::FirstPiece, Fault::Corrupt,     kFail, kFail},
    {Phase::FirstPiece, Fault::Vanish,      kFail, kFail},

    // A lost ack or request is mended by the resend; a stale chunk ack answers
    // for the next chunk (acks carry no index), every chunk still lands in order.
    {Phase::Chunk, Fault::DropReply,   kOk,   kOk},
    {Phase::Chunk, Fault::DropRequest, kOk,   kOk},
    {Phase::Chunk, Fault::Late,        kOk,   kOk},
    {Phase::Chunk, Fault::InTime,      kOk,   kOk},
    {Phase::Chunk, Fault::VeryLate,    kOk,   kOk},
    {Phase::Chunk, Fault::NoiseFirst,  kOk,   kOk},
    {Phase::Chunk, Fault::StaleFirst,  kOk,   kOk},
    {Phase::Chunk, Fault::Corrupt,     kOk,   kOk},
    {Phase::Chunk, Fault::Vanish,      kFail, kFail},

    // When only the ack is lost the controller has written the whole block: the
    // pass ends, but in the two-number form block 2 is the last of its pass and
    // the section 2 pass still runs; in the single-number form block 3 is never
    // written.
    {Phase::LastPiece, Fault::DropReply,   kOk,   kFail},
    {Phase::LastPiece, Fault::DropRequest, kFail, kFail},
    {Phase::LastPiece, Fault::Late,        kOk,   kOk},
    {Phase::LastPiece, Fault::InTime,      kOk,   kOk},
    {Phase::LastPiece, Fault::VeryLate,    kOk,   kFail},
    {Phase::LastPiece, Fault::NoiseFirst,  kOk,   kOk},
    {Phase::LastPiece, Fault::StaleFirst,  kOk,   kOk},
    {Phase::LastPiece, Fault::Corrupt,     kOk,   kFail},
    {Phase::LastPiece, Fault::Vanish,      kFail, kFail},

    // A block not confirmed is a failure, whatever the flash holds.
    {Phase::Verification, Fault::DropReply,   kFail, kFail},
    {Phase::Verification, Fault::DropRequest, kFail, kFail},
    {Phase::Verification, Fault::Late,        kFail, kFail},
    {Phase::Verification, Fault::InTime,      kOk,   kOk},
    {Phase::Verification, Fault::VeryLate,    kFail, kFail},
    {Phase::Verification, Fault::NoiseFirst,  kFail, kFail},
    {Phase::Verification, Fault::StaleFirst,  kFail, kFail},
    {Phase::Verification, Fault::Corrupt,     kFail, kFail},
    {Phase::Verification, Fault::Vanish,      kFail, kFail},

    // The head is checked whether SaveHead is acknowledged or not; a SaveHead
    // ack that comes late or behind another report is read by block 0's check.
    {Phase::SaveHead, Fault::DropReply,   kOk,   kOk},
    {Phase::SaveHead, Fault::DropRequest, kOk,   kOk},
    {Phase::SaveHead, Fault::Late,        kFail, kFail},
    {Phase::SaveHead, Fault::InTime,      kOk,   kOk},
    {Phase::SaveHead, Fault::VeryLate,    kFail, kFail},
    {Phase::SaveHead, Fault::NoiseFirst,  kFail, kFail},
    {Phase::SaveHead, Fault::StaleFirst,  kFail, kFail},
    {Phase::SaveHead, Fault::Corrupt,     kOk,   kOk},
    {Phase::SaveHead, Fault::Vanish,      kFail, kFail},

    {Phase::HeadCheck, Fault::DropReply,   kFail, kFail},
    {Phase::HeadCheck, Fault::DropRequest, kFail, kFail},
    {Phase::HeadCheck, Fault::Late,        kFail, kFail},
    {Phase::HeadCheck, Fault::InTime,      kOk,   kOk},
    {Phase::HeadCheck, Fault::VeryLate,    kFail, kFail},
    {Phase::HeadCheck, Fault::NoiseFirst,  kFail, kFail},
    {Phase::HeadCheck, Fault::StaleFirst,  kFail, kFail},
    {Phase::HeadCheck, Fault::Corrupt,     kFail, kFail},
    {Phase::HeadCheck, Fault::Vanish,      kFail, kFail},

    // Every block is confirmed by now; the closing answers are not examined.
    {Phase::ImageRecord, Fault::DropReply,   kOk, kOk},
    {Phase::ImageRecord, Fault::DropRequest, kOk, kOk},
    {Phase::ImageRecord, Fault::Late,        kOk, kOk},
    {Phase::ImageRecord, Fault::InTime,      kOk, kOk},
    {Phase::ImageRecord, Fault::VeryLate,    kOk, kOk},
    {Phase::ImageRecord, Fault::NoiseFirst,  kOk, kOk},
    {Phase::ImageRecord, Fault::StaleFirst,  kOk, kOk},
    {Phase::ImageRecord, Fault::Corrupt,     kOk, kOk},
    {Phase::ImageRecord, Fault::Vanish,      kOk, kOk},

    {Phase::End, Fault::DropReply,   kOk, kOk},
    {Phase::End, Fault::DropRequest, kOk, kOk},
    {Phase::End, Fault::Late,        kOk, kOk},
    {Phase::End, Fault::InTime,      kOk, kOk},
    {Phase::End, Fault::VeryLate,    kOk, kOk},
    {Phase::End, Fault::NoiseFirst,  kOk, kOk},
    {Phase::End, Fault::StaleFirst,  kOk, kOk},
    {Phase::End, Fault::Corrupt,     kOk, kOk},
    {Phase::End, Fault::Vanish,      kOk, kOk},
};
// clang-format on

sim::SimConfig ControllerFor(FirmwareForm form)
{
    sim::SimConfig config;
    config.headOffset = kHeadOffset;
    config.version.singleNumber = form == FirmwareForm::SingleNumber;
    return config;
}

const char* FormName(FirmwareForm form) { return form == FirmwareForm::TwoNumber ? "TwoNumber" : "SingleNumber"; }

// What every run must hold to, whatever its row: it ends within the bound, and
// success is reported exactly when the dialog says so, and then only with
// every image block in flash.
void ExpectSoundEnd(FaultRig& rig, const std::vector<ImageBlock>& blocks, uint64_t startMs)
{
    EXPECT_LE(rig.clock.NowMs() - startMs, kRunBoundMs) << "virtual ms the run took";
    EXPECT_FALSE(rig.dialog->UpdateActive());
    const bool success = rig.Reported(kTextUpdatedSuccessful);
    EXPECT_EQ(success, rig.dialog->lastUpdateEnd() == UpdateEnd::Succeeded);
    if (success) {
        EXPECT_THAT(DifferingBlocks(rig.controller, blocks), ::testing::IsEmpty())
            << "\"Updated successful!\" with these blocks wrong in flash";
    }
    if (rig.dialog->lastUpdateEnd() == UpdateEnd::SilentStop) {
        EXPECT_EQ(FlashChangingCommands(rig.controller), 0u);
    }
}

class FaultMatrix : public ::testing::TestWithParam<std::tuple<MatrixRow, FirmwareForm>> {};

TEST_P(FaultMatrix, EndsAsTheRowSays)
{
    const auto& [row, form] = GetParam();
    const std::vector<uint8_t> file = MatrixFirmware();
    const std::vector<ImageBlock> blocks = ExpectedBlocks(file, form, kHeadOffset);
    FaultRig rig(ControllerFor(form), {{RuleFor(row.phase, row.fault, form)}});
    Preload(rig.controller, blocks.at(1));
    rig.Init();
    ASSERT_EQ(rig.dialog->singleNumberVersion.load() != 0, form == FirmwareForm::SingleNumber);

    const uint64_t start = rig.clock.NowMs();
    const UpdateEnd end = rig.Update(file);
    EXPECT_EQ(end, form == FirmwareForm::TwoNumber ? row.twoNumber : row.singleNumber);
    ExpectSoundEnd(rig, blocks, start);
}

INSTANTIATE_TEST_SUITE_P(EveryFaultAtEveryPhase, FaultMatrix,
                         ::testing::Combine(::testing::ValuesIn(kMatrix),
                                            ::testing::Values(FirmwareForm::TwoNumber, FirmwareForm::SingleNumber)),
                         [](const auto& info) {
                             const MatrixRow& row = std::get<0>(info.param);
                             return std::string(Name(row.phase)) + "_" + Name(row.fault) + "_" +
                                    FormName(std::get<1>(info.param));
                         });

// Faults that only do harm together.
struct CompoundRow {
    const char* name;
    FirmwareForm form;
    std::vector<int> preloaded;  // main-image blocks that already hold their bytes
    std::vector<FaultRule> rules;
    UpdateEnd end;
};

// Rules are tried in order and a command counts only for the rules up to the
// one that takes it, so the rule for the later occurrence comes first.
std::vector<CompoundRow> CompoundRows()
{
    const MainBlocks two = MainBlocksOf(FirmwareForm::TwoNumber);
    const MainBlocks single = MainBlocksOf(FirmwareForm::SingleNumber);
    auto unwrittenHead = [](const MainBlocks& m) {
        FaultRule firstPiece{FaultKind::DropRequest, kWritePiece, kFirstPieceLength, m.m0, 0, 1, 0};
        FaultRule saveHead{FaultKind::DropReply, kSaveHead, std::nullopt, std::nullopt, 0, 1, 0};
        return std::vector<FaultRule>{firstPiece, saveHead};
    };
    // Block 2 already holds its bytes, but its compare reply comes after the
    // erase wait that the missed match leads to. The controller has erased the
    // block, the erase ack and the verification's own reply are lost, and the
    // verification reads the old reply: address and checksum both match.
    const uint32_t afterEraseWait = kEraseReplyWaitMs + kOpenTimeoutMs + kOpenTimeoutMs / 2;
    const std::vector<FaultRule> staleCompare = {
        {FaultKind::DropReply, kCompareBlock, std::nullopt, single.m2, 1, 1, 0},
        {FaultKind::LateReply, kCompareBlock, std::nullopt, single.m2, 0, 1, afterEraseWait},
        {FaultKind::DropReply, kEraseBlock, std::nullopt, single.m2, 0, 1, 0},
    };
    return {
        {"UnwrittenHeadAndSaveHeadUnacknowledged_TwoNumber", FirmwareForm::TwoNumber, {1}, unwrittenHead(two),
         kFail},
        {"UnwrittenHeadAndSaveHeadUnacknowledged_SingleNumber", FirmwareForm::SingleNumber, {1},
         unwrittenHead(single), kFail},
        {"StaleCompareReplyAfterFailedErase_SingleNumber", FirmwareForm::SingleNumber, {1, 2, 3}, staleCompare,
         kFail},
    };
}

void PrintTo(const CompoundRow& row, std::ostream* os) { *os << row.name; }

class CompoundFaults : public ::testing::TestWithParam<CompoundRow> {};

TEST_P(CompoundFaults, EndAsTheRowSays)
{
    const CompoundRow& row = GetParam();
    const std::vector<uint8_t> file = MatrixFirmware();
    const std::vector<ImageBlock> blocks = ExpectedBlocks(file, row.form, kHeadOffset);
    FaultRig rig(ControllerFor(row.form), {row.rules});
    for (int index : row.preloaded)
        Preload(rig.controller, blocks.at(static_cast<size_t>(index)));
    rig.Init();

    const uint64_t start = rig.clock.NowMs();
    EXPECT_EQ(rig.Update(file), row.end);
    ExpectSoundEnd(rig, blocks, start);
}

INSTANTIATE_TEST_SUITE_P(Reliability, CompoundFaults, ::testing::ValuesIn(CompoundRows()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace reliability
}  // namespace vornak
