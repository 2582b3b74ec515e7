#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vornak {

using CommandReport = std::array<uint8_t, 64>;
using ReplyReport = std::array<uint8_t, 64>;

inline constexpr uint8_t kReportMarker = 0x05;
inline constexpr uint8_t kHeaderLength = 17;      // bytes of the header form before its payload
inline constexpr uint8_t kMaxHeaderPayload = 47;  // bytes 17..63

enum Command : uint8_t {
    kGetFlashLayout = 0xC1,
    kSaveHead = 0xC2,
    kCompareBlock = 0xC3,
    kWriteImageInfo = 0xC4,
    kWritePiece = 0x03,
    kEraseBlock = 0x04,
    kEndUpdate = 0x07,
    kWriteChunk = 0x0B,
    kVersionRequest = 0x21,  // byte 1 of the version request, which is no CommandReport
};

enum class PayloadCrc { None, Computed };

// The header form: marker, command, payloadLength, payloadCrc, length,
// address, then up to 47 payload bytes; every other byte 0.
CommandReport BuildHeaderReport(uint16_t command, uint32_t length, uint32_t address,
                                std::span<const uint8_t> payload, PayloadCrc crc);

// The chunk form of WriteChunk: marker, 0x0B, chunkIndex, chunkSum, 60 bytes.
CommandReport BuildChunkReport(uint8_t chunkIndex, uint8_t chunkSum, std::span<const uint8_t, 60> data);

// Whether a reply answers command: 0x00, 0x05, 0x0000, then the command in
// bytes 4..5, compared as full 16-bit values.
bool ReplyAnswers(const ReplyReport& reply, uint16_t command);

// A readable name for traces; "?" for an unknown code.
const char* CommandName(uint8_t command);

}  // namespace vornak
