// Writes the seed corpus: make_corpus DIR writes DIR/firmware_file/* and
// DIR/update_replies/*. The inputs follow the layouts the two targets read.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/byte_order.h"
#include "image/firmware_builder.h"
#include "image/firmware_layout.h"

namespace {

using vornak::PatternData;
using vornak::SectionSource;

std::vector<uint8_t> File(size_t s1, size_t s2, size_t s3, uint16_t beta = 0)
{
    const SectionSource sections[3] = {
        {1, beta, 0, vornak::gamepad_type, PatternData(s1, 1)},
        {5, 0, 0x8000, 0, PatternData(s2, 2)},
        {300, beta, 0x10000, 0, PatternData(s3, 3)},
    };
    return vornak::BuildFirmwareFile(sections);
}

std::vector<uint8_t> FileInput(uint32_t headOffset, uint32_t blockSize, std::vector<uint8_t> file)
{
    std::vector<uint8_t> input(8);
    vornak::StoreLe32(&input[0], headOffset);
    vornak::StoreLe32(&input[4], blockSize);
    input.insert(input.end(), file.begin(), file.end());
    return input;
}

// setup, head offset, then read decisions from the front; the zeros after
// them let every further reply and every request through.
std::vector<uint8_t> ReplyInput(uint8_t setup, uint8_t headOffset, std::vector<uint8_t> reads, size_t size = 1024)
{
    std::vector<uint8_t> input{setup, headOffset};
    input.insert(input.end(), reads.begin(), reads.end());
    input.resize(size, 0);
    return input;
}

// A controller of the single-number form that already holds blocks 1 and 2:
// block 2's compare reply comes after the erase wait, the controller erases
// the block, and two replies are lost later. Success with block 2 erased.
std::vector<uint8_t> StaleCompareAfterFailedErase()
{
    std::vector<uint8_t> reads = {0, 0, 0, 0};  // version, layout, compare and erase of block 0
    reads.insert(reads.end(), 69, 0);           // block 0's pieces and chunks
    reads.push_back(0);                         // block 1 matches
    reads.push_back(8);                         // block 2's compare reply stays queued
    reads.insert(reads.end(), 15, 8);           // the erase wait runs out
    reads.push_back(0);                         // the verification reads the old reply
    reads.insert(reads.end(), {9, 9, 0});       // erase ack and the verification's reply lost
    return ReplyInput(0x86, 0, reads, 512);
}

bool Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    return vornak::WriteBytesToFile(path.string(), bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const std::vector<uint8_t> sound = File(2000, 100, 1500, 0x12);
    std::vector<uint8_t> truncated = sound;
    truncated.resize(truncated.size() - 7);
    const std::pair<const char*, std::vector<uint8_t>> seeds[] = {
        {"firmware_file/sound", FileInput(0, 4096, sound)},
        {"firmware_file/head-offset", FileInput(16, 4096, sound)},
        {"firmware_file/small-blocks", FileInput(0, 1000, File(300, 0, 200))},
        {"firmware_file/truncated", FileInput(0, 4096, truncated)},
        {"firmware_file/header-only", FileInput(0, 4096, File(0, 0, 0))},
        {"update_replies/two-number", ReplyInput(0x00, 0, {})},
        {"update_replies/single-number", ReplyInput(0x80, 0, {})},
        {"update_replies/all-current", ReplyInput(0x7F, 0, {})},
        {"update_replies/head-offset", ReplyInput(0x02, 64, {})},
        {"update_replies/lost-and-late", ReplyInput(0x00, 0, {0, 0, 0, 0, 9, 0, 8, 0, 11, 0, 13, 4, 1})},
        {"update_replies/stale-compare-after-failed-erase", StaleCompareAfterFailedErase()},
    };
    for (const auto& [name, bytes] : seeds)
        if (!Write(dir / name, bytes)) {
            std::fprintf(stderr, "cannot write %s\n", (dir / name).string().c_str());
            return 1;
        }
    return 0;
}
