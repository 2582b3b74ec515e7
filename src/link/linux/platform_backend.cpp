#include "link/linux/platform_backend.h"

#include <cstdio>

#include "link/linux/hidapi_backend.h"

namespace vornak {

std::unique_ptr<HidBackend> MakePlatformHidBackend()
{
    return MakePlatformHidBackend([](const std::string& line) { std::fputs(line.c_str(), stderr); });
}

std::unique_ptr<HidBackend> MakePlatformHidBackend(linux_hid::DiagnosticSink diagnostics)
{
    return std::make_unique<linux_hid::HidapiBackend>(linux_hid::RealHidapiCalls(), std::move(diagnostics));
}

}  // namespace vornak
