// Files that must never reach the flash: short, truncated, lying or wrapping
// sizes, another product's pid, a head offset beyond the main section. Nothing
// is erased or written for any of them, in either form.

#include <gtest/gtest.h>

#include <functional>

#include "fault_rig.h"
#include "image/byte_order.h"
#include "image/firmware_builder.h"

namespace vornak::reliability {
namespace {

constexpr uint32_t kF1 = 12352;
constexpr uint32_t kF2 = 4000;
constexpr uint32_t kF3 = 16348;

std::vector<uint8_t> GoodFile()
{
    const SectionSource sections[3] = {
        {1, 0, 0, gamepad_type, PatternData(kF1, 11)},
        {5, 0, 0x40000, 0, PatternData(kF2, 22)},
        {300, 0, 0x80000, 0, PatternData(kF3, 33)},
    };
    return BuildFirmwareFile(sections);
}

// Header field offsets in GoodFile.
constexpr size_t kHeader2 = 28 + kF1;
constexpr size_t kHeader3 = 56 + kF1 + kF2;
constexpr size_t kFileContent = 8;
constexpr size_t kFlashAddress = 4;
constexpr size_t kPid = 12;

// How the dialog turns the file away.
enum class Refusal {
    AtChoice,     // "文件不匹配" before any update starts
    InvalidFile,  // "文件不匹配" from the update, before anything is written
    SilentStop,   // another product's file: no message at all
};

struct BadFile {
    std::string name;
    std::vector<uint8_t> bytes;
    FirmwareForm form;
    Refusal refusal;
    uint32_t headOffset = 0;
};

std::vector<uint8_t> Cut(size_t size)
{
    std::vector<uint8_t> file = GoodFile();
    file.resize(size);
    return file;
}

std::vector<uint8_t> Patched(std::initializer_list<std::pair<size_t, uint32_t>> fields)
{
    std::vector<uint8_t> file = GoodFile();
    for (const auto& [offset, value] : fields)
        StoreLe32(&file[offset], value);
    return file;
}

std::vector<BadFile> AllBadFiles()
{
    const size_t size = GoodFile().size();
    std::vector<uint8_t> headerOnly = Cut(28);
    StoreLe32(&headerOnly[kFileContent], 0);
    struct Shape {
        std::string name;
        std::vector<uint8_t> bytes;
        Refusal refusal;
        uint32_t headOffset;
        std::optional<FirmwareForm> only;
    };
    std::vector<Shape> shapes = {
        {"Empty", {}, Refusal::AtChoice, 0, {}},
        {"Bytes27", Cut(27), Refusal::AtChoice, 0, {}},
        {"Bytes28SectionOneEmpty", headerOnly, Refusal::InvalidFile, 0, {}},
        {"Bytes28OfAFullFile", Cut(28), Refusal::InvalidFile, 0, {}},
        {"TruncatedInSectionOneData", Cut(28 + kF1 / 2), Refusal::InvalidFile, 0, {}},
        {"TruncatedBeforeSectionTwoHeader", Cut(kHeader2), Refusal::InvalidFile, 0, {}},
        {"TruncatedInSectionTwoHeader", Cut(kHeader2 + 14), Refusal::InvalidFile, 0, {}},
        {"TruncatedInSectionTwoData", Cut(kHeader2 + 28 + kF2 / 2), Refusal::InvalidFile, 0, {}},
        {"TruncatedInSectionThreeHeader", Cut(kHeader3 + 14), Refusal::InvalidFile, 0, {}},
        {"TruncatedInSectionThreeData", Cut(kHeader3 + 28 + kF3 / 2), Refusal::InvalidFile, 0, {}},
        {"TruncatedByOneByte", Cut(size - 1), Refusal::InvalidFile, 0, {}},
        {"SectionOneSizeOneTooLarge", Patched({{kFileContent, kF1 + 1}}), Refusal::InvalidFile, 0, {}},
        {"SectionTwoSizeLies", Patched({{kHeader2 + kFileContent, kF2 + 4096}}), Refusal::InvalidFile, 0, {}},
        {"SectionThreeSizeOneTooLarge", Patched({{kHeader3 + kFileContent, kF3 + 1}}), Refusal::InvalidFile, 0, {}},
        {"SectionOneSizeHuge", Patched({{kFileContent, 0x7FFFFFFF}}), Refusal::InvalidFile, 0, {}},
        // 28 + F1 wraps to 0: a 32-bit reader takes section 1's header for section 2's.
        {"SectionOneSizeWrapsToFileStart", Patched({{kFileContent, 0xFFFFFFE4}}), Refusal::InvalidFile, 0, {}},
        // 56 + F1 + F2 wraps to 28: section 3's header would be read from section 1's data.
        {"SectionSizesWrapIntoSectionOne", Patched({{kHeader2 + kFileContent, 0xFFFFFFE4 - kF1}}),
         Refusal::InvalidFile, 0, {}},
        {"SectionThreeSizeMax", Patched({{kHeader3 + kFileContent, 0xFFFFFFFF}}), Refusal::InvalidFile, 0, {}},
        {"SectionTwoBlocksWrapTheAddressSpace", Patched({{kHeader2 + kFlashAddress, 0xFFFFF800}}),
         Refusal::InvalidFile, 0, FirmwareForm::TwoNumber},
        {"SectionThreeBlocksWrapTheAddressSpace", Patched({{kHeader3 + kFlashAddress, 0xFFFFF800}}),
         Refusal::InvalidFile, 0, FirmwareForm::SingleNumber},
        {"HeadOffsetIsTheWholeSectionOne", GoodFile(), Refusal::InvalidFile, kF1, FirmwareForm::TwoNumber},
        {"HeadOffsetIsTheWholeSectionThree", GoodFile(), Refusal::InvalidFile, kF3, FirmwareForm::SingleNumber},
        {"HeadOffsetBeyondTheMainSection", GoodFile(), Refusal::InvalidFile, kF3 + 1, {}},
        {"HeadOffsetMax", GoodFile(), Refusal::InvalidFile, 0xFFFFFFFF, {}},
    };
    for (int bit = 0; bit < 32; ++bit)
        shapes.push_back({"PidBit" + std::to_string(bit), Patched({{kPid, gamepad_type ^ (1u << bit)}}), Refusal::SilentStop, 0, {}});

    std::vector<BadFile> files;
    for (const Shape& s : shapes) {
        for (FirmwareForm form : {FirmwareForm::TwoNumber, FirmwareForm::SingleNumber})
            if (!s.only || *s.only == form)
                files.push_back({s.name + (form == FirmwareForm::TwoNumber ? "_TwoNumber" : "_SingleNumber"),
                                 s.bytes, form, s.refusal, s.headOffset});
    }
    return files;
}

void PrintTo(const BadFile& bad, std::ostream* os) { *os << bad.name; }

class BadFiles : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadFiles, NothingIsErasedOrWritten)
{
    const BadFile& bad = GetParam();
    sim::SimConfig config;
    config.headOffset = bad.headOffset;
    config.version.singleNumber = bad.form == FirmwareForm::SingleNumber;
    FaultRig rig(config, {});
    rig.Init();

    const UpdateEnd end = rig.Update(bad.bytes);
    switch (bad.refusal) {
    case Refusal::AtChoice: EXPECT_EQ(end, UpdateEnd::None); break;
    case Refusal::InvalidFile: EXPECT_EQ(end, UpdateEnd::InvalidFile); break;
    case Refusal::SilentStop: EXPECT_EQ(end, UpdateEnd::SilentStop); break;
    }
    // The layout is the one question a refused file may have asked.
    for (const sim::ReceivedCommand& c : rig.controller.received())
        EXPECT_EQ(c.command, kGetFlashLayout) << "command 0x" << std::hex << int{c.command} << " sent";
    EXPECT_EQ(FlashChangingCommands(rig.controller), 0u);
    EXPECT_TRUE(std::all_of(rig.controller.flash().begin(), rig.controller.flash().end(),
                            [](uint8_t b) { return b == 0xFF; }));

    const std::vector<std::string> messages = rig.window.EventsStartingWith("message ");
    if (bad.refusal == Refusal::SilentStop) {
        EXPECT_TRUE(messages.empty());
        EXPECT_TRUE(rig.window.EventsStartingWith("confirm ").empty());
    } else {
        EXPECT_EQ(messages, std::vector<std::string>{std::string("message ") + kTextFileMismatch});
        EXPECT_EQ(rig.window.captions.back(), "Vornak Update v2.16");
    }
    EXPECT_TRUE(rig.window.buttonEnabled);
    EXPECT_FALSE(rig.dialog->firmwareFile.IsOpen());
    EXPECT_EQ(rig.dialog->state.updateRunning.load(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Reliability, BadFiles, ::testing::ValuesIn(AllBadFiles()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vornak::reliability
