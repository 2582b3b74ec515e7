#include "image/firmware_layout.h"

#include <cstdio>

namespace vornak {

uint64_t FirmwareSections::HeaderOffset(int section) const
{
    uint64_t offset = 0;
    for (int i = 0; i + 1 < section; ++i)
        offset += kSectionHeaderSize + uint64_t{header[i].fileContent};
    return offset;
}

uint64_t FirmwareSections::DataOffset(int section) const { return HeaderOffset(section) + kSectionHeaderSize; }

std::string FileCheck::Describe() const
{
    const std::string n = std::to_string(section);
    switch (problem) {
    case FileProblem::None: return "valid";
    case FileProblem::TooShort: return "file too short: fewer than 28 bytes";
    case FileProblem::HeaderBeyondEnd: return "section " + n + " header beyond the end of the file";
    case FileProblem::DataBeyondEnd: return "section " + n + " data beyond the end of the file";
    case FileProblem::WrongPid: return "wrong pid: not a file for this controller (pid 0x200F)";
    case FileProblem::HeadOffsetTooLarge: return "section " + n + " is shorter than the controller's head offset";
    case FileProblem::AddressOverflow: return "section " + n + " reaches past the 32-bit flash address space";
    case FileProblem::EmptyMainSection: return "section " + n + " carries no data";
    case FileProblem::NoBlockSize: return "the flash layout gives no block size";
    }
    return "invalid";
}

FileCheck CheckSections(const FirmwareSections& sections, uint64_t fileSize)
{
    if (fileSize < kSectionHeaderSize)
        return {FileProblem::TooShort, 1};
    for (int s = 1; s <= 3; ++s) {
        if (sections.DataOffset(s) > fileSize)
            return {FileProblem::HeaderBeyondEnd, s};
        if (sections.DataOffset(s) + sections.header[s - 1].fileContent > fileSize)
            return {FileProblem::DataBeyondEnd, s};
    }
    return {};
}

namespace {

uint32_t BlockCount(uint32_t length, uint32_t blockSize)
{
    return static_cast<uint32_t>((uint64_t{length} + blockSize - 1) / blockSize);
}

FileCheck AddImage(ImagePlan& plan, int section, uint64_t first, uint32_t base, uint32_t length,
                   uint32_t blockSize, uint32_t verifyFrom)
{
    FlashImage image{section, first, base, length, BlockCount(length, blockSize), verifyFrom};
    // Every block carries 4096 bytes, also the last; all of them must have an address.
    const uint64_t end = uint64_t{base} + uint64_t{image.blockCount} * blockSize;
    if (end > (uint64_t{1} << 32))
        return {FileProblem::AddressOverflow, section};
    plan.images.push_back(image);
    return {};
}

}  // namespace

ImagePlan PlanImages(const FirmwareSections& sections, FirmwareForm form, uint32_t headOffset,
                     uint32_t blockSize)
{
    ImagePlan plan;
    if (blockSize == 0) {
        plan.check = {FileProblem::NoBlockSize, 0};
        return plan;
    }
    const int main = form == FirmwareForm::TwoNumber ? 1 : 3;
    const zr_firmware_header& mainHeader = sections.header[main - 1];
    if (mainHeader.fileContent == 0) {
        plan.check = {FileProblem::EmptyMainSection, main};
        return plan;
    }
    // An image of no bytes would report success having written nothing.
    if (headOffset >= mainHeader.fileContent) {
        plan.check = {FileProblem::HeadOffsetTooLarge, main};
        return plan;
    }
    plan.check = AddImage(plan, main, sections.DataOffset(main) + headOffset,
                          main == 1 ? 0 : mainHeader.flashAddress, mainHeader.fileContent - headOffset,
                          blockSize, 2);
    if (plan.check.ok() && form == FirmwareForm::TwoNumber)
        plan.check = AddImage(plan, 2, sections.DataOffset(2), sections.header[1].flashAddress,
                              sections.header[1].fileContent, blockSize, 0);
    if (!plan.check.ok())
        plan.images.clear();
    return plan;
}

std::string FirmwareVersionText(const FirmwareSections& sections, FirmwareForm form)
{
    char text[64];
    const zr_firmware_header& s1 = sections.header[0];
    const zr_firmware_header& s3 = sections.header[2];
    if (form == FirmwareForm::TwoNumber) {
        const int v1 = s1.version, v2 = sections.header[1].version;
        if (s1.beta == 0)
            std::snprintf(text, sizeof text, "firmware V%d.%d", v1, v2);
        else
            std::snprintf(text, sizeof text, "firmware V%d.%d beta%x", v1, v2, static_cast<unsigned>(s1.beta));
    } else {
        if (s3.beta == 0)
            std::snprintf(text, sizeof text, "firmware V%d", static_cast<int>(s3.version));
        else
            std::snprintf(text, sizeof text, "firmware V%d beta%x", static_cast<int>(s3.version),
                          static_cast<unsigned>(s3.beta));
    }
    return text;
}

}  // namespace vornak
