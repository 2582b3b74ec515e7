#pragma once

#include <cstdint>
#include <string>

namespace vornak {

// The system's text for a GetLastError() code, without the trailing line end.
std::string Win32ErrorText(uint32_t code);

// "<call>: <system text> (error <code>)", the form every Win32 failure is reported in.
std::string Win32CallFailure(const std::string& call, uint32_t code);

}  // namespace vornak
