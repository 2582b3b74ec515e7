#pragma once

#include <cstdint>
#include <span>

#include "protocol/report_exchange.h"

namespace vornak {

inline constexpr uint32_t kGetFlashLayoutPauseMs = 16;
inline constexpr uint32_t kEndUpdatePauseMs = 2000;

// The flash layout words of the GetFlashLayout reply.
struct FlashLayout {
    uint32_t headOffset = 0;
    uint32_t word1 = 0;
    uint32_t word2 = 0;
    uint32_t blockSize = 0;
};

// The eight flash commands; each one exchange, true on a matching reply.
class FlashCommands {
public:
    FlashCommands(CHid& link, Clock& clock) : exchange(link, clock) {}

    bool GetFlashLayout(uint8_t (&destination)[16]);
    bool SaveHead();
    // answered, when given, tells whether the controller replied for this
    // address at all: without a reply the answer may still come later.
    bool CompareBlock(uint32_t length, uint32_t address, uint16_t expectedCrc, bool* answered = nullptr);
    bool WriteImageInfo(std::span<const uint8_t> record);
    bool WritePiece(const uint8_t* piece, uint32_t address, uint8_t pieceLength, uint32_t length);
    bool EraseBlock(uint32_t address, uint32_t size);
    bool EndUpdate();
    bool WriteChunk(uint8_t chunkIndex, uint8_t chunkSum, std::span<const uint8_t, 60> data);

    ReportExchange exchange;
};

FlashLayout DecodeFlashLayout(const uint8_t (&words)[16]);

}  // namespace vornak
