#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/firmware_header.h"

namespace vornak {

// One section of a firmware file to build: its header fields and data.
struct SectionSource {
    uint16_t version = 0;
    uint16_t beta = 0;
    uint32_t flashAddress = 0;
    uint32_t pid = 0;
    std::vector<uint8_t> data;
};

// The bytes of a firmware file: three sections, each header followed by its
// data; fileContent is the data's size.
std::vector<uint8_t> BuildFirmwareFile(const SectionSource (&sections)[3]);

// Deterministic filler for sample images: the same seed gives the same bytes.
std::vector<uint8_t> PatternData(size_t size, uint32_t seed);

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace vornak
