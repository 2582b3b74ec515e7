#pragma once

#include <string>

namespace vornak::linux_hid {

// hidapi's texts are wchar_t (UTF-32 on Linux); the rest of the system speaks UTF-8.
std::string WideToUtf8(const wchar_t* text);

}  // namespace vornak::linux_hid
