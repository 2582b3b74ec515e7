#pragma once

#include <span>
#include <string>

#include "procedures/update_procedure.h"

namespace vornak::cli {

// The flasher's exit codes; documented in --help and the README.
enum ExitCode : int {
    kExitSuccess = 0,       // done: the update succeeded, the file is valid, the controller was found
    kExitUpdateFailed = 1,  // the update ended with "Updated failed!" or the controller stopped it
    kExitUsage = 2,         // wrong arguments, or a choice the flasher must not guess
    kExitNoController = 3,  // no controller attached, none that can be opened, or no HID backend
    kExitInvalidFile = 4,   // the firmware file cannot be read, is malformed or is for another controller
    kExitCancelled = 5,     // the user did not confirm the update (or no terminal to ask and no --yes)
};

struct ExitCodeDescription {
    ExitCode code;
    const char* meaning;
};

std::span<const ExitCodeDescription> ExitCodeTable();

// The table as the footer of --help.
std::string ExitCodeHelp();

// What the dialog logic left behind after an update, as far as the exit code
// depends on it.
struct UpdateOutcome {
    UpdateEnd end = UpdateEnd::None;
    bool wrongPid = false;          // section 1's pid is not this controller's
    bool emptyMainSection = false;  // the section of the form's main image carries no data
};

ExitCode ExitCodeForUpdate(const UpdateOutcome& outcome);

}  // namespace vornak::cli
