#include "sim/tool/fault_rule_text.h"

#include <gtest/gtest.h>

#include "protocol/command_report.h"

namespace vornak::sim {
namespace {

struct GoodCase {
    const char* text;
    FaultKind kind;
    uint8_t command;
    uint32_t from = 0;
    uint32_t count = UINT32_MAX;
    uint32_t delay = 0;
    std::optional<uint32_t> address = std::nullopt;
    std::optional<uint32_t> piece = std::nullopt;
};

TEST(FaultRuleText, ParsesEveryKindAndField)
{
    const GoodCase cases[] = {
        {"drop-reply:GetFlashLayout", FaultKind::DropReply, kGetFlashLayout},
        {"drop-request:savehead:from=2", FaultKind::DropRequest, kSaveHead, 2},
        {"late-reply:WriteChunk:delay=300:count=1", FaultKind::LateReply, kWriteChunk, 0, 1, 300},
        {"noise-first:CompareBlock:address=0x3000", FaultKind::NoiseFirst, kCompareBlock, 0, UINT32_MAX, 0, 0x3000},
        {"stale-first:WritePiece:piece=29", FaultKind::StaleFirst, kWritePiece, 0, UINT32_MAX, 0, {}, 29},
        {"corrupt-reply:version", FaultKind::CorruptReply, kVersionRequest},
        {"vanish:any:from=100", FaultKind::Vanish, 0, 100},
        {"drop-reply:0x04:from=0:count=3", FaultKind::DropReply, kEraseBlock, 0, 3},
        {"drop-reply:EndUpdate", FaultKind::DropReply, kEndUpdate},
        {"drop-reply:WriteImageInfo", FaultKind::DropReply, kWriteImageInfo},
    };
    for (const GoodCase& c : cases) {
        std::string error;
        const std::optional<FaultRule> rule = ParseFaultRule(c.text, error);
        ASSERT_TRUE(rule) << c.text << ": " << error;
        EXPECT_EQ(rule->kind, c.kind) << c.text;
        EXPECT_EQ(rule->command, c.command) << c.text;
        EXPECT_EQ(rule->firstOccurrence, c.from) << c.text;
        EXPECT_EQ(rule->count, c.count) << c.text;
        EXPECT_EQ(rule->delayMs, c.delay) << c.text;
        EXPECT_EQ(rule->address, c.address) << c.text;
        EXPECT_EQ(rule->pieceLength, c.piece) << c.text;
    }
}

TEST(FaultRuleText, RefusesMalformedRulesWithAReason)
{
    const char* cases[] = {
        "",
        "drop-reply",
        "explode:SaveHead",
        "drop-reply:Reboot",
        "drop-reply:0x100",
        "drop-reply:SaveHead:from",
        "drop-reply:SaveHead:from=-1",
        "drop-reply:SaveHead:from=1x",
        "drop-reply:SaveHead:when=1",
        "drop-reply:WritePiece:piece=30",
        "drop-reply:SaveHead:count=0x100000000",
    };
    for (const char* text : cases) {
        std::string error;
        EXPECT_FALSE(ParseFaultRule(text, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

}  // namespace
}  // namespace vornak::sim
