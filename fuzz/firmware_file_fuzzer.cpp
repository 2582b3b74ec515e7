// The firmware file reader and the image computation on untrusted bytes.
//
// Input: the controller's headOffset and blockSize (two u32), then the file.
// Aborts when the structure check and an independent 64-bit reading of the
// sections disagree, when a plan of a sound file reaches outside the file or
// the 32-bit address space, or when a block checksum differs from one taken
// over the input bytes themselves.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

#include "image/byte_order.h"
#include "image/checksum.h"
#include "image/file_block_crc.h"
#include "image/firmware_builder.h"
#include "image/firmware_file.h"
#include "image/firmware_layout.h"

namespace vornak::fuzz {
namespace {

// Block checksums taken per image; enough to pass the end of every small file.
constexpr uint32_t kBlocksChecked = 8;

[[noreturn]] void Violation(const char* what)
{
    std::fprintf(stderr, "invariant violated: %s\n", what);
    std::abort();
}

// A file in the temp folder for the life of the process.
struct ScratchFile {
    ScratchFile()
        : path((std::filesystem::temp_directory_path() / ("vornak-fuzz-file-" + std::to_string(getpid()) + ".dat"))
                   .string())
    {
    }
    ~ScratchFile()
    {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
    const std::string path;
};

const std::string& ScratchPath()
{
    static const ScratchFile file;
    return file.path;
}

// The three headers as the update reads them: zeros where the file ends.
FirmwareSections ReadSections(FirmwareFile& file)
{
    FirmwareSections sections{};
    for (int s = 1; s <= 3; ++s) {
        std::array<uint8_t, kSectionHeaderSize> bytes{};
        file.ReadAt(sections.HeaderOffset(s), bytes);
        sections.header[s - 1] = zr_firmware_header::Decode(bytes);
    }
    return sections;
}

// Whether all three sections lie in the file, worked out from the bytes.
bool SectionsFit(std::span<const uint8_t> file)
{
    uint64_t at = 0;
    for (int s = 0; s < 3; ++s) {
        if (at + kSectionHeaderSize > file.size())
            return false;
        at += kSectionHeaderSize + LoadLe32(&file[at + 8]);
        if (at > file.size())
            return false;
    }
    return true;
}

uint16_t BlockCrcOfBytes(std::span<const uint8_t> file, uint64_t position)
{
    std::array<uint8_t, 4096> block;
    block.fill(0xFF);
    for (size_t i = 0; i < block.size() && position + i < file.size(); ++i)
        block[i] = file[position + i];
    return Crc16(block.data(), static_cast<int32_t>(block.size()));
}

void CheckPlan(FirmwareFile& file, std::span<const uint8_t> bytes, const FirmwareSections& sections,
               FirmwareForm form, uint32_t headOffset, uint32_t blockSize, bool sound)
{
    const ImagePlan plan = PlanImages(sections, form, headOffset, blockSize);
    if (!plan.check.ok()) {
        if (!plan.images.empty())
            Violation("a refused plan lists images");
        return;
    }
    if (plan.images.size() != (form == FirmwareForm::TwoNumber ? 2u : 1u))
        Violation("wrong number of images for the form");
    if (plan.images.front().imageLength == 0 || plan.images.front().verifyFrom != 2)
        Violation("main image empty or verified from the wrong block");
    for (const FlashImage& image : plan.images) {
        if (image.blockCount != (uint64_t{image.imageLength} + blockSize - 1) / blockSize)
            Violation("blockCount is not imageLength / blockSize rounded up");
        if (uint64_t{image.flashBase} + uint64_t{image.blockCount} * blockSize > (uint64_t{1} << 32))
            Violation("an image's blocks wrap the address space");
        if (sound && image.firstFileByte + image.imageLength > bytes.size())
            Violation("an image of a sound file reaches past the end of the file");
        for (uint32_t k = 0; k < image.blockCount && k < kBlocksChecked; ++k) {
            const uint64_t position = image.firstFileByte + uint64_t{k} * blockSize;
            const std::optional<uint16_t> crc = fileBlockCrc(file, position);
            if (!crc || *crc != BlockCrcOfBytes(bytes, position))
                Violation("fileBlockCrc differs from the checksum of the file's bytes");
        }
    }
}

void RunOne(std::span<const uint8_t> data)
{
    if (data.size() < 8)
        return;
    const uint32_t headOffset = LoadLe32(data.data());
    const uint32_t blockSize = LoadLe32(data.data() + 4);
    const std::span<const uint8_t> bytes = data.subspan(8);
    if (!WriteBytesToFile(ScratchPath(), {bytes.begin(), bytes.end()}))
        Violation("cannot write the scratch file");

    FirmwareFile file;
    if (!file.Open(ScratchPath()) || file.Size() != bytes.size())
        Violation("the scratch file does not open at its size");
    const FirmwareSections sections = ReadSections(file);
    const FileCheck check = CheckSections(sections, file.Size());
    if (check.ok() != SectionsFit(bytes))
        Violation("CheckSections disagrees with the file's bytes");
    if ((check.problem == FileProblem::TooShort) != (bytes.size() < kSectionHeaderSize))
        Violation("TooShort for a file that is not");
    if (check.Describe().empty())
        Violation("a check without a description");

    for (FirmwareForm form : {FirmwareForm::TwoNumber, FirmwareForm::SingleNumber}) {
        const std::string text = FirmwareVersionText(sections, form);
        if (text.rfind("firmware V", 0) != 0)
            Violation("version text out of format");
        // The update refuses any other block size before it plans.
        if (blockSize != 0)
            CheckPlan(file, bytes, sections, form, headOffset, blockSize, check.ok());
    }

    if (bytes.size() >= kSectionHeaderSize) {
        const auto header = zr_firmware_header::Decode(std::span<const uint8_t, kSectionHeaderSize>(bytes.first<kSectionHeaderSize>()));
        const auto encoded = header.Encode();
        if (!std::equal(encoded.begin(), encoded.end(), bytes.begin()))
            Violation("header does not encode back to its bytes");
    }
    const auto n = static_cast<int32_t>(std::min<size_t>(bytes.size(), 4096));
    if (Crc16(bytes.data(), n) != Crc16Bitwise(bytes.data(), n))
        Violation("table-driven Crc16 differs from the bitwise one");
}

}  // namespace
}  // namespace vornak::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vornak::fuzz::RunOne({data, size});
    return 0;
}
