#pragma once

#include <memory>

#include "link/hid_backend.h"
#include "link/linux/diagnostic_sink.h"

namespace vornak {

// The HID backend of this platform: hidapi on hidraw. Failures with their
// context go to diagnostics; the overload without one writes them to stderr.
std::unique_ptr<HidBackend> MakePlatformHidBackend();
std::unique_ptr<HidBackend> MakePlatformHidBackend(linux_hid::DiagnosticSink diagnostics);

}  // namespace vornak
