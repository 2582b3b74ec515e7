#include "cli/default_backend.h"

#include "link/win32/hid_backend_win32.h"

namespace vornak::cli {

std::unique_ptr<HidBackend> MakeDefaultBackend(std::string&) { return std::make_unique<HidBackendWin32>(); }

// Windows refuses a second opener when a program holds the controller exclusively.
std::string PlatformAccessHint()
{
    return "another program may hold the controller open; close it, then unplug and replug the controller.";
}

}  // namespace vornak::cli
