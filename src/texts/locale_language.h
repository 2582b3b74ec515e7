#pragma once

#include <cstdint>
#include <string>

namespace vornak {

// The language id a desktop program on a POSIX system would use: the first
// set of LC_ALL, LC_MESSAGES, LANG. zh_CN is 2052, zh_TW 0x0404, any other
// Chinese 0x0004, everything else English.
uint16_t UiLanguageFromLocale();
uint16_t LanguageIdForLocale(const std::string& locale);

}  // namespace vornak
