#pragma once

#include <functional>
#include <string>

namespace vornak::linux_hid {

// Where the backend writes failures with their context (call, path, OS text).
using DiagnosticSink = std::function<void(const std::string& line)>;

}  // namespace vornak::linux_hid
