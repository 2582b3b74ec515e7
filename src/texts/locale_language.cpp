#include "texts/locale_language.h"

#include <cstdlib>

#include "texts/texts.h"

namespace vornak {

uint16_t LanguageIdForLocale(const std::string& locale)
{
    // "zh_CN.UTF-8", "zh_CN@variant": only language and territory count.
    const std::string base = locale.substr(0, locale.find_first_of(".@"));
    if (base == "zh_CN")
        return kLanguageChinesePrc;
    if (base == "zh_TW")
        return kLanguageChineseTaiwan;
    if (base.rfind("zh", 0) == 0)
        return 0x0004;
    return kLanguageEnglishUs;
}

uint16_t UiLanguageFromLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return LanguageIdForLocale(value);
    }
    return kLanguageEnglishUs;
}

}  // namespace vornak
