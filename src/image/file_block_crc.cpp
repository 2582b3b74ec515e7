#include "image/file_block_crc.h"

#include <array>

#include "image/checksum.h"

namespace vornak {

std::optional<uint16_t> fileBlockCrc(FirmwareFile& file, uint64_t position,
                                     std::span<uint8_t, kFileBlockSize> blockBuffer)
{
    if (!file.ReadFilled(position, blockBuffer))
        return std::nullopt;
    return Crc16(blockBuffer.data(), static_cast<int32_t>(blockBuffer.size()));
}

std::optional<uint16_t> fileBlockCrc(FirmwareFile& file, uint64_t position)
{
    std::array<uint8_t, kFileBlockSize> block;
    return fileBlockCrc(file, position, block);
}

}  // namespace vornak
