#include "image/firmware_header.h"

#include <algorithm>

#include "image/byte_order.h"

namespace vornak {

zr_firmware_header zr_firmware_header::Decode(std::span<const uint8_t, kSectionHeaderSize> bytes)
{
    zr_firmware_header h;
    const uint8_t* p = bytes.data();
    h.version = LoadLe16(p + 0);
    h.beta = LoadLe16(p + 2);
    h.flashAddress = LoadLe32(p + 4);
    h.fileContent = LoadLe32(p + 8);
    h.pid = LoadLe32(p + 12);
    std::copy_n(p + 16, h.reserved.size(), h.reserved.begin());
    return h;
}

std::array<uint8_t, kSectionHeaderSize> zr_firmware_header::Encode() const
{
    std::array<uint8_t, kSectionHeaderSize> bytes{};
    uint8_t* p = bytes.data();
    StoreLe16(p + 0, version);
    StoreLe16(p + 2, beta);
    StoreLe32(p + 4, flashAddress);
    StoreLe32(p + 8, fileContent);
    StoreLe32(p + 12, pid);
    std::copy(reserved.begin(), reserved.end(), p + 16);
    return bytes;
}

}  // namespace vornak
