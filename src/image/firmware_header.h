#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vornak {

inline constexpr size_t kSectionHeaderSize = 28;

// The 28-byte header of every section of a firmware file, little-endian.
struct zr_firmware_header {
    uint16_t version = 0;
    uint16_t beta = 0;  // 0: a release
    uint32_t flashAddress = 0;
    uint32_t fileContent = 0;  // data bytes that follow the header
    uint32_t pid = 0;
    std::array<uint8_t, 12> reserved{};

    // version in the low half, beta in the high half: bytes 0..3 as they stand.
    uint32_t VersionWord() const { return static_cast<uint32_t>(version) | (static_cast<uint32_t>(beta) << 16); }

    static zr_firmware_header Decode(std::span<const uint8_t, kSectionHeaderSize> bytes);
    std::array<uint8_t, kSectionHeaderSize> Encode() const;
};

// Section 1's header, which the file choice reads.
using FirmwareFileHeader = zr_firmware_header;

}  // namespace vornak
