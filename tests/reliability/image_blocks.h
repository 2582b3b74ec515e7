#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "image/firmware_layout.h"
#include "sim/simulated_controller.h"

namespace vornak::reliability {

// One 4096-byte block as it belongs in flash.
struct ImageBlock {
    uint32_t address = 0;
    std::vector<uint8_t> bytes;
};

// The blocks a form writes, worked out from the file's own header fields (not
// by the code under test): every block carries 4096 file bytes, erased bytes
// past the end of the file.
inline std::vector<ImageBlock> ExpectedBlocks(const std::vector<uint8_t>& file, FirmwareForm form,
                                              uint32_t headOffset)
{
    auto le32 = [&file](uint64_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | file.at(at + static_cast<uint64_t>(i));
        return v;
    };
    const uint64_t f1 = le32(8);
    const uint64_t f2 = le32(28 + f1 + 8);
    const uint64_t f3 = le32(56 + f1 + f2 + 8);
    struct Run {
        uint64_t first;
        uint32_t base;
        uint64_t length;
    };
    std::vector<Run> runs;
    if (form == FirmwareForm::TwoNumber) {
        runs.push_back({28 + headOffset, 0, f1 - headOffset});
        runs.push_back({56 + f1, le32(28 + f1 + 4), f2});
    } else {
        runs.push_back({84 + f1 + f2 + headOffset, le32(56 + f1 + f2 + 4), f3 - headOffset});
    }
    std::vector<ImageBlock> blocks;
    for (const Run& run : runs)
        for (uint64_t offset = 0; offset < run.length; offset += 4096) {
            ImageBlock block{static_cast<uint32_t>(run.base + offset), std::vector<uint8_t>(4096, 0xFF)};
            for (uint64_t i = 0; i < 4096 && run.first + offset + i < file.size(); ++i)
                block.bytes[i] = file[run.first + offset + i];
            blocks.push_back(std::move(block));
        }
    return blocks;
}

inline void Preload(sim::SimulatedController& controller, const ImageBlock& block)
{
    std::copy(block.bytes.begin(), block.bytes.end(), controller.flash().begin() + block.address);
}

// Addresses of the blocks whose flash differs from what belongs there.
inline std::vector<uint32_t> DifferingBlocks(const sim::SimulatedController& controller,
                                             const std::vector<ImageBlock>& blocks)
{
    std::vector<uint32_t> differing;
    for (const ImageBlock& block : blocks)
        if (!std::equal(block.bytes.begin(), block.bytes.end(), controller.flash().begin() + block.address))
            differing.push_back(block.address);
    return differing;
}

}  // namespace vornak::reliability
