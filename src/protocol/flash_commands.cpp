#include "protocol/flash_commands.h"

#include <algorithm>

#include "image/byte_order.h"

namespace vornak {
namespace {

constexpr size_t kReplyDataOffset = 18;
constexpr uint32_t kCompareLength = 4096;

CommandReport HeaderOnly(uint16_t command, uint32_t length = 0, uint32_t address = 0,
                         PayloadCrc crc = PayloadCrc::None)
{
    return BuildHeaderReport(command, length, address, {}, crc);
}

}  // namespace

bool FlashCommands::GetFlashLayout(uint8_t (&destination)[16])
{
    if (!exchange.SingleRead(HeaderOnly(kGetFlashLayout), SendVia::HeaderFrame, kGetFlashLayoutPauseMs))
        return false;
    std::copy_n(exchange.replyBuffer.begin() + kReplyDataOffset, 16, destination);
    return true;
}

bool FlashCommands::SaveHead()
{
    return exchange.SingleRead(HeaderOnly(kSaveHead), SendVia::HeaderFrame, 0);
}

bool FlashCommands::CompareBlock(uint32_t length, uint32_t address, uint16_t expectedCrc, bool* answered)
{
    uint8_t payload[12] = {};
    StoreLe32(payload + 0, address);
    StoreLe32(payload + 4, kCompareLength);
    const CommandReport request = BuildHeaderReport(kCompareBlock, length, address, payload, PayloadCrc::None);
    bool echoed = false;
    const bool matches = exchange.SingleRead(request, SendVia::WholeReport, 0, [&](const ReplyReport& reply) {
        echoed = LoadLe32(&reply[14]) == address;
        return echoed && LoadLe16(&reply[kReplyDataOffset]) == expectedCrc;
    });
    if (answered != nullptr)
        *answered = echoed;
    return matches;
}

bool FlashCommands::WriteImageInfo(std::span<const uint8_t> record)
{
    const auto length = static_cast<uint32_t>(record.size());
    return exchange.SingleRead(BuildHeaderReport(kWriteImageInfo, length, 0, record, PayloadCrc::Computed),
                               SendVia::WholeReport, 0);
}

bool FlashCommands::WritePiece(const uint8_t* piece, uint32_t address, uint8_t pieceLength, uint32_t length)
{
    const CommandReport request =
        BuildHeaderReport(kWritePiece, length, address, {piece, pieceLength}, PayloadCrc::Computed);
    return exchange.UpToTwentyReads(request, SendVia::WholeReport);
}

bool FlashCommands::EraseBlock(uint32_t address, uint32_t size)
{
    return exchange.ReadUntilMatch(HeaderOnly(kEraseBlock, size, address, PayloadCrc::Computed),
                                   SendVia::HeaderFrame);
}

bool FlashCommands::EndUpdate()
{
    exchange.clock().SleepMs(kEndUpdatePauseMs);
    return exchange.SingleRead(HeaderOnly(kEndUpdate), SendVia::HeaderFrame, 0);
}

bool FlashCommands::WriteChunk(uint8_t chunkIndex, uint8_t chunkSum, std::span<const uint8_t, 60> data)
{
    return exchange.UpToTwentyReads(BuildChunkReport(chunkIndex, chunkSum, data), SendVia::WholeReport);
}

FlashLayout DecodeFlashLayout(const uint8_t (&words)[16])
{
    return {LoadLe32(words + 0), LoadLe32(words + 4), LoadLe32(words + 8), LoadLe32(words + 12)};
}

}  // namespace vornak
