#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "image/firmware_file.h"

namespace vornak {

inline constexpr uint32_t kFileBlockSize = 4096;

// Crc16 of the 4096 file bytes from position; bytes past the end of the file
// count as 0xFF, the same fill the update sends. Nothing on a read error.
std::optional<uint16_t> fileBlockCrc(FirmwareFile& file, uint64_t position);

// The same, leaving the bytes in blockBuffer so that what is sent for the
// block is exactly what was checksummed.
std::optional<uint16_t> fileBlockCrc(FirmwareFile& file, uint64_t position,
                                     std::span<uint8_t, kFileBlockSize> blockBuffer);

}  // namespace vornak
