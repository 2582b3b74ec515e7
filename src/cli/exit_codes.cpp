#include "cli/exit_codes.h"

#include <array>

namespace vornak::cli {
namespace {

constexpr std::array<ExitCodeDescription, 6> kTable{{
    {kExitSuccess, "success"},
    {kExitUpdateFailed, "the update failed"},
    {kExitUsage, "usage error"},
    {kExitNoController, "no controller (not attached, cannot be opened, or no HID backend)"},
    {kExitInvalidFile, "invalid firmware file, or a file for another controller"},
    {kExitCancelled, "cancelled by the user"},
}};

}  // namespace

std::span<const ExitCodeDescription> ExitCodeTable() { return kTable; }

std::string ExitCodeHelp()
{
    std::string text = "Exit codes:\n";
    for (const ExitCodeDescription& entry : kTable)
        text += "  " + std::to_string(entry.code) + "  " + entry.meaning + "\n";
    return text;
}

ExitCode ExitCodeForUpdate(const UpdateOutcome& outcome)
{
    switch (outcome.end) {
    case UpdateEnd::Succeeded: return kExitSuccess;
    case UpdateEnd::Failed: return kExitUpdateFailed;
    case UpdateEnd::Cancelled: return kExitCancelled;
    case UpdateEnd::InvalidFile: return kExitInvalidFile;
    case UpdateEnd::NotRecognised: return kExitNoController;
    // No worker ran: the file could not be opened or was shorter than a header.
    case UpdateEnd::None: return kExitInvalidFile;
    case UpdateEnd::SilentStop:
        // The procedure stops silently for a foreign file and for a controller
        // without a usable flash layout; only the first is the file's fault.
        return outcome.wrongPid || outcome.emptyMainSection ? kExitInvalidFile : kExitUpdateFailed;
    }
    return kExitUpdateFailed;
}

}  // namespace vornak::cli
