#include "protocol/command_report.h"

#include <algorithm>

#include "image/byte_order.h"
#include "image/checksum.h"

namespace vornak {

CommandReport BuildHeaderReport(uint16_t command, uint32_t length, uint32_t address,
                                std::span<const uint8_t> payload, PayloadCrc crc)
{
    CommandReport report{};
    const size_t n = std::min<size_t>(payload.size(), kMaxHeaderPayload);
    report[0] = kReportMarker;
    StoreLe16(&report[1], command);
    StoreLe16(&report[5], static_cast<uint16_t>(n));
    if (crc == PayloadCrc::Computed)
        StoreLe16(&report[7], Crc16(payload.data(), static_cast<int32_t>(n)));
    StoreLe32(&report[9], length);
    StoreLe32(&report[13], address);
    std::copy_n(payload.begin(), n, report.begin() + kHeaderLength);
    return report;
}

CommandReport BuildChunkReport(uint8_t chunkIndex, uint8_t chunkSum, std::span<const uint8_t, 60> data)
{
    CommandReport report{};
    report[0] = kReportMarker;
    report[1] = kWriteChunk;
    report[2] = chunkIndex;
    report[3] = chunkSum;
    std::copy(data.begin(), data.end(), report.begin() + 4);
    return report;
}

bool ReplyAnswers(const ReplyReport& reply, uint16_t command)
{
    return reply[0] == 0x00 && reply[1] == kReportMarker && LoadLe16(&reply[2]) == 0 &&
           LoadLe16(&reply[4]) == command;
}

const char* CommandName(uint8_t command)
{
    switch (command) {
    case kGetFlashLayout: return "GetFlashLayout";
    case kSaveHead: return "SaveHead";
    case kCompareBlock: return "CompareBlock";
    case kWriteImageInfo: return "WriteImageInfo";
    case kWritePiece: return "WritePiece";
    case kEraseBlock: return "EraseBlock";
    case kEndUpdate: return "EndUpdate";
    case kWriteChunk: return "WriteChunk";
    case kVersionRequest: return "VersionRequest";
    default: return "?";
    }
}

}  // namespace vornak
