#include <gtest/gtest.h>

#include <array>

#include "image/firmware_builder.h"
#include "image/firmware_layout.h"

namespace vornak {
namespace {

FirmwareSections Sections(uint32_t f1, uint32_t f2, uint32_t f3)
{
    FirmwareSections s{};
    s.header[0].fileContent = f1;
    s.header[0].pid = gamepad_type;
    s.header[1].fileContent = f2;
    s.header[1].flashAddress = 0x40000;
    s.header[2].fileContent = f3;
    s.header[2].flashAddress = 0x8000;
    return s;
}

uint64_t FileSize(const FirmwareSections& s) { return s.DataOffset(3) + s.header[2].fileContent; }

TEST(FirmwareHeader, DecodesLittleEndianFieldsAndRoundTrips)
{
    std::array<uint8_t, 28> bytes{};
    const uint8_t head[] = {0x02, 0x01, 0x1f, 0x00, 0x00, 0x80, 0x00, 0x00,
                            0x08, 0x20, 0x00, 0x00, 0x0F, 0x20, 0x00, 0x00};
    std::copy(std::begin(head), std::end(head), bytes.begin());
    bytes[27] = 0xAB;
    const zr_firmware_header h = zr_firmware_header::Decode(bytes);
    EXPECT_EQ(h.version, 0x0102);
    EXPECT_EQ(h.beta, 0x1f);
    EXPECT_EQ(h.flashAddress, 0x8000u);
    EXPECT_EQ(h.fileContent, 8200u);
    EXPECT_EQ(h.pid, 0x200Fu);
    EXPECT_EQ(h.reserved[11], 0xAB);
    EXPECT_EQ(h.VersionWord(), 0x001F0102u);
    EXPECT_EQ(h.Encode(), bytes);
}

TEST(FirmwareLayout, VersionTextsOfBothForms)
{
    struct Case {
        uint16_t v1, beta1, v2, v3, beta3;
        FirmwareForm form;
        const char* text;
    };
    const Case cases[] = {
        {1, 0, 5, 0, 0, FirmwareForm::TwoNumber, "firmware V1.5"},
        {1, 0x12, 5, 0, 0, FirmwareForm::TwoNumber, "firmware V1.5 beta12"},
        {2, 0x1f, 17, 0, 0, FirmwareForm::TwoNumber, "firmware V2.17 beta1f"},
        {0, 0, 0, 300, 0, FirmwareForm::SingleNumber, "firmware V300"},
        {0, 0, 0, 300, 0x0a, FirmwareForm::SingleNumber, "firmware V300 betaa"},
    };
    for (const Case& c : cases) {
        FirmwareSections s{};
        s.header[0].version = c.v1;
        s.header[0].beta = c.beta1;
        s.header[1].version = c.v2;
        s.header[2].version = c.v3;
        s.header[2].beta = c.beta3;
        EXPECT_EQ(FirmwareVersionText(s, c.form), c.text);
    }
}

TEST(FirmwareLayout, SectionOffsetsFollowTheSizes)
{
    const FirmwareSections s = Sections(8200, 0, 100);
    EXPECT_EQ(s.HeaderOffset(2), 28u + 8200u);
    EXPECT_EQ(s.DataOffset(2), 56u + 8200u);
    EXPECT_EQ(s.HeaderOffset(3), 56u + 8200u);  // F2 = 0: section 3 follows at once
    EXPECT_EQ(s.DataOffset(3), 84u + 8200u);
}

TEST(FirmwareLayout, StructureCheckFindsEverySectionOutsideTheFile)
{
    const FirmwareSections sound = Sections(100, 200, 300);
    const uint64_t size = FileSize(sound);
    struct Case {
        FirmwareSections sections;
        uint64_t fileSize;
        FileProblem problem;
        int section;
    };
    FirmwareSections wraps = sound;
    wraps.header[0].fileContent = 0xFFFFFFF0u;  // 28 + F1 + ... wraps a 32-bit offset
    FirmwareSections wrapsLater = sound;
    wrapsLater.header[1].fileContent = 0xFFFFFFFFu;
    const Case cases[] = {
        {sound, size, FileProblem::None, 0},
        {sound, size + 10, FileProblem::None, 0},  // trailing bytes belong to no section
        {sound, 27, FileProblem::TooShort, 1},
        {sound, 28 + 50, FileProblem::DataBeyondEnd, 1},
        {sound, 28 + 100 + 10, FileProblem::HeaderBeyondEnd, 2},
        {sound, 56 + 100 + 150, FileProblem::DataBeyondEnd, 2},
        {sound, 56 + 100 + 200 + 27, FileProblem::HeaderBeyondEnd, 3},
        {sound, size - 1, FileProblem::DataBeyondEnd, 3},
        {wraps, size, FileProblem::DataBeyondEnd, 1},
        {wrapsLater, size, FileProblem::DataBeyondEnd, 2},
    };
    for (const Case& c : cases) {
        const FileCheck check = CheckSections(c.sections, c.fileSize);
        EXPECT_EQ(check.problem, c.problem) << "size " << c.fileSize << ": " << check.Describe();
        if (c.problem != FileProblem::None) {
            EXPECT_EQ(check.section, c.section) << check.Describe();
        }
    }
}

TEST(FirmwareLayout, TwoNumberImagesSkipTheHeadOffsetOfSectionOneOnly)
{
    const FirmwareSections s = Sections(8200, 4096, 100);
    const ImagePlan plan = PlanImages(s, FirmwareForm::TwoNumber, 0, 4096);
    ASSERT_TRUE(plan.check.ok());
    ASSERT_EQ(plan.images.size(), 2u);
    const FlashImage& one = plan.images[0];
    EXPECT_EQ(one.firstFileByte, 28u);
    EXPECT_EQ(one.flashBase, 0u);
    EXPECT_EQ(one.imageLength, 8200u);
    EXPECT_EQ(one.blockCount, 3u);
    EXPECT_EQ(one.firstFileByte + 2 * 4096, 8220u);  // block 2: last 8 data bytes, header 2, data 2
    EXPECT_EQ(one.verifyFrom, 2u);
    EXPECT_EQ(plan.images[1].firstFileByte, 56u + 8200u);
    EXPECT_EQ(plan.images[1].flashBase, 0x40000u);
    EXPECT_EQ(plan.images[1].verifyFrom, 0u);

    const ImagePlan offset = PlanImages(s, FirmwareForm::TwoNumber, 0x200, 4096);
    ASSERT_TRUE(offset.check.ok());
    EXPECT_EQ(offset.images[0].firstFileByte, 28u + 0x200u);
    EXPECT_EQ(offset.images[0].imageLength, 8200u - 0x200u);
    EXPECT_EQ(offset.images[1].firstFileByte, 56u + 8200u);  // section 2 always from its first byte
    EXPECT_EQ(offset.images[1].imageLength, 4096u);
}

TEST(FirmwareLayout, SingleNumberImageIsSectionThree)
{
    const FirmwareSections s = Sections(100, 0, 16384);
    const ImagePlan plan = PlanImages(s, FirmwareForm::SingleNumber, 16, 4096);
    ASSERT_TRUE(plan.check.ok());
    ASSERT_EQ(plan.images.size(), 1u);
    EXPECT_EQ(plan.images[0].firstFileByte, 84u + 100u + 16u);
    EXPECT_EQ(plan.images[0].flashBase, 0x8000u);
    EXPECT_EQ(plan.images[0].imageLength, 16384u - 16u);
    EXPECT_EQ(plan.images[0].blockCount, 4u);
    EXPECT_EQ(PlanImages(s, FirmwareForm::TwoNumber, 0, 4096).images[1].blockCount, 0u);  // F2 = 0
}

TEST(FirmwareLayout, PlanRefusesImagesThatCannotBeWritten)
{
    FirmwareSections highAddress = Sections(100, 8192, 100);
    highAddress.header[1].flashAddress = 0xFFFFF000u;  // two blocks from here pass 4 GiB
    const struct {
        FirmwareSections sections;
        FirmwareForm form;
        uint32_t headOffset;
        FileProblem problem;
    } cases[] = {
        {Sections(100, 0, 0), FirmwareForm::TwoNumber, 101, FileProblem::HeadOffsetTooLarge},
        {Sections(100, 0, 0), FirmwareForm::TwoNumber, 100, FileProblem::HeadOffsetTooLarge},
        {Sections(0, 100, 100), FirmwareForm::TwoNumber, 0, FileProblem::EmptyMainSection},
        {Sections(100, 100, 0), FirmwareForm::SingleNumber, 0, FileProblem::EmptyMainSection},
        {highAddress, FirmwareForm::TwoNumber, 0, FileProblem::AddressOverflow},
    };
    for (const auto& c : cases) {
        const ImagePlan plan = PlanImages(c.sections, c.form, c.headOffset, 4096);
        EXPECT_EQ(plan.check.problem, c.problem) << plan.check.Describe();
        EXPECT_TRUE(plan.images.empty());
    }
    EXPECT_EQ(PlanImages(Sections(100, 0, 0), FirmwareForm::TwoNumber, 0, 0).check.problem, FileProblem::NoBlockSize);
}

}  // namespace
}  // namespace vornak
