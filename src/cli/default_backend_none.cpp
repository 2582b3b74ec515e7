#include "cli/default_backend.h"

namespace vornak::cli {

std::unique_ptr<HidBackend> MakeDefaultBackend(std::string& whyNot)
{
    whyNot = "no HID backend in this build";
    return nullptr;
}

std::string PlatformAccessHint() { return {}; }

}  // namespace vornak::cli
