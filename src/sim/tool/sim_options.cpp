#include "sim/tool/sim_options.h"

#include <CLI/CLI.hpp>

#include "protocol/command_report.h"
#include "sim/tool/fault_rule_text.h"

namespace vornak::sim {
namespace {

constexpr const char* kDescription =
    "The simulated controller in boot mode. Without --uhid it is a device for\n"
    "vornak-flash --device-cmd: it writes its identity (vendor id, product id,\n"
    "u16 little-endian) on standard output, then answers each 65-byte output\n"
    "report read from standard input with 65-byte input reports, until standard\n"
    "input closes. With --uhid it appears to the kernel as a USB HID device\n"
    "through /dev/uhid (needs access to /dev/uhid, usually root) until it is\n"
    "interrupted.";

constexpr const char* kFaultHelp =
    "KIND:COMMAND[:from=N][:count=M][:delay=MS][:address=A][:piece=47|29], repeatable. KIND: drop-reply, "
    "drop-request, late-reply, noise-first, stale-first, corrupt-reply, vanish. COMMAND: GetFlashLayout, "
    "SaveHead, CompareBlock, WriteImageInfo, WritePiece, EraseBlock, EndUpdate, WriteChunk, version, any, or "
    "a code. from counts matching commands from 0.";

}  // namespace

std::optional<int> ParseSimOptions(int argc, const char* const* argv, SimToolOptions& options)
{
    SimConfig& config = options.config;
    unsigned version = config.version.version, minor = config.version.minor, beta = config.version.beta;
    std::vector<std::string> faultTexts;
    std::optional<uint32_t> vanishAfter;
    bool silentVersion = false;

    CLI::App app(kDescription, "vornak-sim");
    app.add_option("--flash", options.flashFile, "flash contents: loaded at start if the file exists, saved at exit");
    app.add_option("--flash-size", config.flashSize, "flash size in bytes")->capture_default_str()
        ->check(CLI::Range(1u, 1u << 30));
    app.add_option("--head-offset", config.headOffset, "headOffset of the GetFlashLayout reply")
        ->capture_default_str();
    app.add_option("--block-size", config.blockSize, "blockSize of the GetFlashLayout reply")
        ->capture_default_str()->check(CLI::Range(1u, 1u << 24));
    app.add_option("--version", version, "version byte of the version reply")->capture_default_str()
        ->check(CLI::Range(0u, 255u));
    app.add_option("--minor", minor, "second number of the two-number version form")->capture_default_str()
        ->check(CLI::Range(0u, 255u));
    app.add_option("--beta", beta, "beta number, 0 for none")->capture_default_str()->check(CLI::Range(0u, 15u));
    app.add_flag("--single-number", config.version.singleNumber, "reply to the version request in the single-number form");
    app.add_option("--vid", config.vendorId, "USB vendor id")->capture_default_str();
    app.add_option("--pid", config.productId, "USB product id")->capture_default_str();
    app.add_option("--restart-ms", config.restartMs, "time off the bus after EndUpdate (--uhid)")
        ->capture_default_str();
    app.add_option("--fault", faultTexts, kFaultHelp);
    app.add_option("--drop-fraction", options.faults.dropFraction, "fraction of replies dropped at random")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--seed", options.faults.seed, "seed of --drop-fraction")->capture_default_str();
    app.add_flag("--silent-version", silentVersion, "never answer the version request");
    app.add_option("--vanish-after", vanishAfter, "vanish (exit, or leave the bus) at the command after N commands");
    app.add_flag("--exit-on-restart", options.exitOnRestart,
                 "pipe mode: exit after the EndUpdate reply instead of going on");
    app.add_flag("--uhid", options.uhid, "present the controller to the kernel through /dev/uhid");
    app.add_flag("-v,--verbose", options.verbose, "one line per command received, on standard error");

    try {
        app.parse(argc, argv);
        for (const std::string& text : faultTexts) {
            std::string error;
            std::optional<FaultRule> rule = ParseFaultRule(text, error);
            if (!rule)
                throw CLI::ValidationError("--fault", error);
            options.faults.rules.push_back(*rule);
        }
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    config.version.version = static_cast<uint8_t>(version);
    config.version.minor = static_cast<uint8_t>(minor);
    config.version.beta = static_cast<uint8_t>(beta);
    if (silentVersion) {
        FaultRule& silent = options.faults.rules.emplace_back();
        silent.kind = FaultKind::DropReply;
        silent.command = kVersionRequest;
    }
    if (vanishAfter) {
        FaultRule& vanish = options.faults.rules.emplace_back();
        vanish.kind = FaultKind::Vanish;
        vanish.firstOccurrence = *vanishAfter;
    }
    return std::nullopt;
}

}  // namespace vornak::sim
