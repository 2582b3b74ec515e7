#include "cli/pack_command.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/file_access.h"
#include "image/firmware_builder.h"

namespace vornak::cli {
namespace {

std::optional<std::vector<uint8_t>> ReadData(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return data;
}

}  // namespace

int RunPack(const PackOptions& options, const FlasherEnvironment& environment)
{
    std::ostream& err = environment.terminal.err;
    SectionSource sections[3];
    for (size_t i = 0; i < 3; ++i) {
        SectionSource& section = sections[i];
        section.version = options.versions[i];
        section.beta = options.betas[i];
        section.flashAddress = options.flashAddresses[i];
        // Only section 1's pid is checked; the others carry it too, as a real file would.
        section.pid = options.pid;
        if (options.dataFiles[i].empty()) {
            // Each section gets its own bytes, so no block of one image matches another.
            section.data = PatternData(options.sizes[i], options.seed * 3 + static_cast<uint32_t>(i) + 1);
            continue;
        }
        std::optional<std::vector<uint8_t>> data = ReadData(options.dataFiles[i]);
        if (!data) {
            err << "vornak-flash: " << WhyUnreadable(options.dataFiles[i]) << '\n';
            return kExitInvalidFile;
        }
        if (data->size() > kMaxPackSectionSize) {
            err << "vornak-flash: " << options.dataFiles[i] << ": larger than " << kMaxPackSectionSize << " bytes\n";
            return kExitInvalidFile;
        }
        section.data = std::move(*data);
    }
    const std::vector<uint8_t> bytes = BuildFirmwareFile(sections);
    errno = 0;
    if (!WriteBytesToFile(options.output, bytes)) {
        err << "vornak-flash: cannot write " << options.output << ": "
            << (errno != 0 ? std::strerror(errno) : "write error") << '\n';
        return kExitInvalidFile;
    }
    FirmwareSections headers;
    for (int i = 0; i < 3; ++i)
        headers.header[i] = {sections[i].version, sections[i].beta, sections[i].flashAddress,
                             static_cast<uint32_t>(sections[i].data.size()), sections[i].pid, {}};
    environment.terminal.out << "wrote " << options.output << ": " << bytes.size() << " bytes, "
                             << FirmwareVersionText(headers, FirmwareForm::TwoNumber) << " / "
                             << FirmwareVersionText(headers, FirmwareForm::SingleNumber) << '\n';
    return kExitSuccess;
}

}  // namespace vornak::cli
