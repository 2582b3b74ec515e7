#include "cli/info_command.h"

#include <array>
#include <cstdio>
#include <ostream>

#include "cli/exit_codes.h"
#include "cli/file_access.h"
#include "image/file_block_crc.h"
#include "image/firmware_file.h"
#include "image/firmware_layout.h"

namespace vornak::cli {
namespace {

struct FormEntry {
    FirmwareForm form;
    const char* name;
};
constexpr std::array<FormEntry, 2> kForms{{{FirmwareForm::TwoNumber, "two-number form"},
                                           {FirmwareForm::SingleNumber, "single-number form"}}};

// Reads the headers that lie inside the file; returns how many that is.
int ReadHeaders(FirmwareFile& file, FirmwareSections& sections)
{
    for (int s = 1; s <= 3; ++s) {
        std::array<uint8_t, kSectionHeaderSize> bytes{};
        if (file.ReadAt(sections.HeaderOffset(s), bytes) != bytes.size())
            return s - 1;
        sections.header[s - 1] = zr_firmware_header::Decode(bytes);
    }
    return 3;
}

std::string SectionLine(int section, const zr_firmware_header& h)
{
    // The beta is a hexadecimal number; 0 means a release.
    char beta[16] = "0 (release)";
    if (h.beta != 0)
        std::snprintf(beta, sizeof beta, "0x%x", unsigned{h.beta});
    char text[160];
    std::snprintf(text, sizeof text, "section %d: version %u, beta %s, flash address 0x%08x, size %u, pid 0x%04x",
                  section, unsigned{h.version}, beta, h.flashAddress, h.fileContent, h.pid);
    return text;
}

std::string ImageLine(const FlashImage& image)
{
    char text[200];
    if (image.blockCount == 0) {
        std::snprintf(text, sizeof text, "  section %d image: empty, no blocks", image.section);
        return text;
    }
    const uint64_t end = uint64_t{image.flashBase} + uint64_t{image.blockCount} * kFileBlockSize;
    std::snprintf(text, sizeof text,
                  "  section %d image: %u bytes from file offset %llu, %u block%s of 4096 at flash 0x%08x..0x%08llx",
                  image.section, image.imageLength, static_cast<unsigned long long>(image.firstFileByte),
                  image.blockCount, image.blockCount == 1 ? "" : "s", image.flashBase,
                  static_cast<unsigned long long>(end - 1));
    return text;
}

void PrintForms(std::ostream& out, const FirmwareSections& sections)
{
    for (const FormEntry& entry : kForms) {
        out << entry.name << ": " << FirmwareVersionText(sections, entry.form) << '\n';
        const ImagePlan plan = PlanImages(sections, entry.form, 0, kFileBlockSize);
        if (!plan.check.ok())
            out << "  not writable in this form: " << plan.check.Describe() << '\n';
        for (const FlashImage& image : plan.images)
            out << ImageLine(image) << '\n';
    }
}

}  // namespace

int RunInfo(const std::string& path, const FlasherEnvironment& environment)
{
    std::ostream& out = environment.terminal.out;
    std::ostream& err = environment.terminal.err;
    FirmwareFile file;
    if (!file.Open(path)) {
        const std::string why = WhyUnreadable(path);
        err << "vornak-flash: " << (why.empty() ? "cannot open " + path : why) << '\n';
        return kExitInvalidFile;
    }
    out << path << ": " << file.Size() << " bytes\n";
    FirmwareSections sections;
    const int headers = ReadHeaders(file, sections);
    for (int s = 1; s <= headers; ++s)
        out << SectionLine(s, sections.header[s - 1]) << '\n';

    FileCheck check = CheckSections(sections, file.Size());
    if (check.ok()) {
        PrintForms(out, sections);
        if (sections.header[0].pid != gamepad_type)
            check = {FileProblem::WrongPid, 1};
    }
    out << std::flush;
    if (!check.ok()) {
        err << "vornak-flash: " << path << ": " << check.Describe() << '\n';
        return kExitInvalidFile;
    }
    out << "valid firmware file for this controller (pid 0x200f)\n";
    return kExitSuccess;
}

}  // namespace vornak::cli
