#include "image/firmware_builder.h"

#include <fstream>

namespace vornak {

std::vector<uint8_t> BuildFirmwareFile(const SectionSource (&sections)[3])
{
    std::vector<uint8_t> bytes;
    for (const SectionSource& section : sections) {
        zr_firmware_header header;
        header.version = section.version;
        header.beta = section.beta;
        header.flashAddress = section.flashAddress;
        header.fileContent = static_cast<uint32_t>(section.data.size());
        header.pid = section.pid;
        const auto encoded = header.Encode();
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
        bytes.insert(bytes.end(), section.data.begin(), section.data.end());
    }
    return bytes;
}

std::vector<uint8_t> PatternData(size_t size, uint32_t seed)
{
    // xorshift32: cheap, and never all 0xFF, so every block differs from erased flash.
    std::vector<uint8_t> data(size);
    uint32_t state = seed != 0 ? seed : 0x9E3779B9u;
    for (uint8_t& byte : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return data;
}

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace vornak
