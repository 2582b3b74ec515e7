#include "cli/flasher_app.h"

#include <CLI/CLI.hpp>

#include "cli/detect_command.h"
#include "cli/exit_codes.h"
#include "cli/info_command.h"
#include "cli/pack_command.h"
#include "cli/update_command.h"
#include "texts/texts.h"

namespace vornak::cli {
namespace {

// What --simulate holds when given without =FLASHFILE.
constexpr const char* kNoFlashFile = ":erased:";

// The help shows --simulate [=FLASHFILE] without the stand-in value of a bare --simulate.
class FlasherFormatter : public CLI::Formatter {
public:
    std::string make_option_name(const CLI::Option* option, bool positional) const override
    {
        std::string name = CLI::Formatter::make_option_name(option, positional);
        const size_t open = name.find('{');
        if (open != std::string::npos)
            name.erase(open, name.find('}', open) - open + 1);
        return name;
    }
};

// Options that a subcommand applies to its options after parsing.
struct DeviceArguments {
    CLI::Option* simulate = nullptr;
    std::string simulateValue;
};

void AddDeviceOptions(CLI::App& command, DeviceOptions& device, DeviceArguments& arguments)
{
    const char* group = "Device (default: the platform's HID controller)";
    arguments.simulate =
        command
            .add_flag(std::string("--simulate{") + kNoFlashFile + "}", arguments.simulateValue,
                      "Use the built-in simulated controller; with =FLASHFILE its flash is loaded from and saved "
                      "to FLASHFILE, so a second run finds what the first wrote")
            ->type_name("[=FLASHFILE]")
            ->group(group);
    command.add_option("--device-cmd", device.deviceCommand,
                           "Use an external device: COMMAND runs through /bin/sh -c and speaks the pipe protocol")
            ->type_name("COMMAND")
            ->excludes(arguments.simulate)
            ->group(group);
    command.add_option("--trace", device.traceFile, "Write every report exchanged to FILE, one line each")
        ->type_name("FILE")
        ->group(group);

    const char* sim = "Simulated controller";
    command.add_flag("--sim-single-number", device.simulator.singleNumber,
                     "It reports its version in the single-number form (takes section 3)")
        ->needs(arguments.simulate)
        ->group(sim);
    command.add_flag("--sim-silent-version", device.simulator.silent, "It never answers the version request")
        ->needs(arguments.simulate)
        ->group(sim);
    command.add_flag("--sim-denied", device.simulator.accessDenied, "It is attached but cannot be opened")
        ->needs(arguments.simulate)
        ->group(sim);
    command.add_option("--sim-vanish-after", device.simulator.vanishAfter,
                       "It vanishes after N reports, as if unplugged")
        ->type_name("N")
        ->needs(arguments.simulate)
        ->group(sim);
}

void ApplyDeviceArguments(const DeviceArguments& arguments, DeviceOptions& device)
{
    device.simulate = arguments.simulate->count() > 0;
    if (device.simulate && arguments.simulateValue != kNoFlashFile)
        device.simulator.flashFile = arguments.simulateValue;
}

template <typename T>
CLI::Option* AddTriple(CLI::App& command, const std::string& name, std::array<T, 3>& target, std::vector<T>& storage,
               const std::string& what)
{
    return command.add_option(name, storage, what + " of sections 1, 2 and 3 (default " + std::to_string(target[0]) +
                                          "," + std::to_string(target[1]) + "," + std::to_string(target[2]) + ")")
        ->expected(3)
        ->delimiter(',')
        ->type_name("A,B,C");
}

template <typename T>
void ApplyTriple(const std::vector<T>& storage, std::array<T, 3>& target)
{
    if (storage.size() == target.size())
        std::copy(storage.begin(), storage.end(), target.begin());
}

std::string VersionText()
{
    return std::string("vornak-flash ") + VORNAK_VERSION + " (" + LoadText(kTextProductTitle, kLanguageEnglishUs) +
           ")";
}

}  // namespace

int RunFlasher(int argc, const char* const* argv, const FlasherEnvironment& environment)
{
    CLI::App app{"Writes firmware into the Vornak game controller (USB 2dc8:3014, in boot mode).", "vornak-flash"};
    app.formatter(std::make_shared<FlasherFormatter>());
    app.set_version_flag("--version", VersionText());
    app.require_subcommand(1);
    app.footer(ExitCodeHelp());

    std::string infoFile;
    CLI::App* info = app.add_subcommand("info", "Read and check a firmware file; needs no device");
    info->add_option("FILE", infoFile, "The firmware file (.dat)")->required();

    DetectOptions detect;
    DeviceArguments detectDevice;
    CLI::App* detectCommand = app.add_subcommand("detect", "Find the controller and read its firmware version");
    AddDeviceOptions(*detectCommand, detect.device, detectDevice);
    detectCommand->add_flag("-v,--verbose", detect.verbose, "Show the debug output on standard error");

    UpdateOptions update;
    DeviceArguments updateDevice;
    std::string form;
    CLI::App* updateCommand = app.add_subcommand(
        "update", "Write FILE into the controller; blocks it already holds are skipped");
    updateCommand->add_option("FILE", update.file, "The firmware file (.dat)")->required();
    updateCommand->add_flag("-y,--yes", update.assumeYes, "Confirm the version without asking");
    updateCommand
        ->add_option("--form", form,
                     "The image to write when the controller does not report its version: two (sections 1 and "
                     "2) or single (section 3)")
        ->check(CLI::IsMember({"two", "single"}));
    AddDeviceOptions(*updateCommand, update.device, updateDevice);
    updateCommand->add_flag("-v,--verbose", update.verbose, "Show the debug output on standard error");

    PackOptions pack;
    std::vector<uint32_t> sizes, addresses;
    std::vector<uint16_t> versions, betas;
    CLI::App* packCommand = app.add_subcommand("pack", "Make a sample firmware file for demos and tests");
    packCommand->add_option("OUTPUT", pack.output, "The file to write")->required();
    AddTriple(*packCommand, "--sizes", pack.sizes, sizes, "Data bytes")
        ->check(CLI::Range(uint32_t{0}, kMaxPackSectionSize));
    AddTriple(*packCommand, "--versions", pack.versions, versions, "Versions");
    AddTriple(*packCommand, "--betas", pack.betas, betas, "Beta numbers");
    AddTriple(*packCommand, "--addresses", pack.flashAddresses, addresses, "Flash addresses");
    packCommand->add_option("--pid", pack.pid, "Product id (default 0x200f, this controller's)");
    packCommand->add_option("--seed", pack.seed, "Seed of the generated data (default 1)");
    for (int i = 0; i < 3; ++i)
        packCommand
            ->add_option("--data" + std::to_string(i + 1), pack.dataFiles[i],
                         "Take section " + std::to_string(i + 1) + "'s data from FILE instead")
            ->type_name("FILE");
    for (CLI::App* command : {info, detectCommand, updateCommand, packCommand})
        command->footer(ExitCodeHelp());

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help and --version end here too, with code 0.
        return app.exit(e, environment.terminal.out, environment.terminal.err) == 0 ? kExitSuccess : kExitUsage;
    }

    if (info->parsed())
        return RunInfo(infoFile, environment);
    if (detectCommand->parsed()) {
        ApplyDeviceArguments(detectDevice, detect.device);
        return RunDetect(detect, environment);
    }
    if (updateCommand->parsed()) {
        ApplyDeviceArguments(updateDevice, update.device);
        if (!form.empty())
            update.form = form == "single" ? FirmwareForm::SingleNumber : FirmwareForm::TwoNumber;
        return RunUpdate(update, environment);
    }
    ApplyTriple(sizes, pack.sizes);
    ApplyTriple(versions, pack.versions);
    ApplyTriple(betas, pack.betas);
    ApplyTriple(addresses, pack.flashAddresses);
    return RunPack(pack, environment);
}

}  // namespace vornak::cli
