#include "cli/default_backend.h"

#include "link/linux/access_hint.h"
#include "link/linux/platform_backend.h"

namespace vornak::cli {

std::unique_ptr<HidBackend> MakeDefaultBackend(std::string&) { return MakePlatformHidBackend(); }

std::string PlatformAccessHint() { return kLinuxAccessHint; }

}  // namespace vornak::cli
