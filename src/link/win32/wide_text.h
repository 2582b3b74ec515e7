#pragma once

#include <string>
#include <string_view>

namespace vornak {

// The core speaks UTF-8; Win32 "W" calls take UTF-16. Invalid input converts
// to replacement characters rather than failing.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace vornak
