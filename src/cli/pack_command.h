#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cli/flasher_environment.h"
#include "image/firmware_layout.h"

namespace vornak::cli {

// A sample firmware file: small by default (4, 2 and 3 blocks), for this controller.
struct PackOptions {
    std::string output;
    std::array<uint32_t, 3> sizes{16384, 8192, 12288};
    std::array<uint16_t, 3> versions{1, 5, 30};
    std::array<uint16_t, 3> betas{0, 0, 0};
    std::array<uint32_t, 3> flashAddresses{0, 0x40000, 0x80000};
    uint32_t pid = gamepad_type;
    uint32_t seed = 1;
    std::array<std::string, 3> dataFiles;  // non-empty: the section's data comes from this file
};

inline constexpr uint32_t kMaxPackSectionSize = 16u << 20;

// Writes the file and prints what it holds; returns the exit code.
int RunPack(const PackOptions& options, const FlasherEnvironment& environment);

}  // namespace vornak::cli
