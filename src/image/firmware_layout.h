#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/firmware_header.h"

namespace vornak {

// The pid that files for the supported controller carry.
inline constexpr uint32_t gamepad_type = 0x200F;

// How a block travels: a 47-byte piece, 67 chunks of 60 bytes, a 29-byte piece.
inline constexpr uint32_t kFirstPieceLength = 47;
inline constexpr uint32_t kChunkLength = 60;
inline constexpr uint32_t kChunkCount = 67;
inline constexpr uint32_t kLastPieceOffset = kFirstPieceLength + kChunkCount * kChunkLength;  // 4067
inline constexpr uint32_t kLastPieceLength = 29;
static_assert(kLastPieceOffset + kLastPieceLength == 4096);

// Which images a controller receives: sections 1 and 2 (two-number version
// form) or section 3 (single-number form).
enum class FirmwareForm { TwoNumber, SingleNumber };

struct FirmwareSections {
    zr_firmware_header header[3];
    uint64_t HeaderOffset(int section) const;  // section 1..3
    uint64_t DataOffset(int section) const;
};

// What is wrong with a file's structure; None for a sound file.
enum class FileProblem {
    None,
    TooShort,            // fewer than 28 bytes
    HeaderBeyondEnd,     // a section header lies (partly) past the end of the file
    DataBeyondEnd,       // a section's data lies (partly) past the end of the file
    WrongPid,            // section 1's pid is not gamepad_type
    HeadOffsetTooLarge,  // the layout's headOffset leaves nothing of the main section
    AddressOverflow,     // an image reaches past the 32-bit flash address space
    EmptyMainSection,    // the main image's section carries no data
    NoBlockSize,         // the layout gives no block size to step by
};

struct FileCheck {
    FileProblem problem = FileProblem::None;
    int section = 0;  // the section concerned, 1..3, where there is one
    bool ok() const { return problem == FileProblem::None; }
    std::string Describe() const;
};

// Checks that all three sections, headers and data, lie inside a file of
// fileSize bytes. Offsets are computed in 64 bits, so sizes that would wrap a
// 32-bit offset are caught rather than followed.
FileCheck CheckSections(const FirmwareSections& sections, uint64_t fileSize);

// One run of file bytes that a write pass transfers.
struct FlashImage {
    int section = 0;
    uint64_t firstFileByte = 0;  // S
    uint32_t flashBase = 0;      // B
    uint32_t imageLength = 0;    // L
    uint32_t blockCount = 0;     // N, L / blockSize rounded up
    uint32_t verifyFrom = 0;     // first block of the verification pass
};

struct ImagePlan {
    FileCheck check;
    std::vector<FlashImage> images;  // in write order; the first is the main image
};

// The images of a form for the controller's headOffset and blockSize.
ImagePlan PlanImages(const FirmwareSections& sections, FirmwareForm form, uint32_t headOffset,
                     uint32_t blockSize);

// "firmware V%d.%d", "firmware V%d.%d beta%x", "firmware V%d", "firmware V%d beta%x".
std::string FirmwareVersionText(const FirmwareSections& sections, FirmwareForm form);

}  // namespace vornak
