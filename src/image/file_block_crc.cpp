#include "image/file_block_crc.h"

#include <array>

#include "image/checksum.h"

namespace vornak {

std::optional<uint16_t> fileBlockCrc(FirmwareFile& file, uint64_t position)
{
    std::array<uint8_t, kFileBlockSize> block;
    if (!file.ReadFilled(position, block))
        return std::nullopt;
    return Crc16(block.data(), static_cast<int32_t>(block.size()));
}

}  // namespace vornak
