#include <gtest/gtest.h>

#include <cstdlib>

#include "texts/locale_language.h"
#include "texts/texts.h"

namespace vornak {
namespace {

TEST(LocaleLanguage, LocaleToLanguage)
{
    const struct {
        const char* locale;
        uint16_t language;
    } cases[] = {
        {"zh_CN.UTF-8", kLanguageChinesePrc}, {"zh_CN", kLanguageChinesePrc},
        {"zh_CN.GB18030@x", kLanguageChinesePrc}, {"zh_TW.UTF-8", kLanguageChineseTaiwan},
        {"zh_HK.UTF-8", 0x0004}, {"en_US.UTF-8", kLanguageEnglishUs},
        {"C", kLanguageEnglishUs}, {"de_DE", kLanguageEnglishUs},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageIdForLocale(c.locale), c.language) << c.locale;
}

TEST(LocaleLanguage, LocaleVariablesInTheirOrder)
{
    // LC_ALL wins over LC_MESSAGES, which wins over LANG; empty ones are skipped.
    setenv("LANG", "zh_CN.UTF-8", 1);
    setenv("LC_MESSAGES", "", 1);
    unsetenv("LC_ALL");
    EXPECT_EQ(UiLanguageFromLocale(), kLanguageChinesePrc);
    setenv("LC_MESSAGES", "en_GB.UTF-8", 1);
    EXPECT_EQ(UiLanguageFromLocale(), kLanguageEnglishUs);
    setenv("LC_ALL", "zh_CN.UTF-8", 1);
    EXPECT_EQ(UiLanguageFromLocale(), kLanguageChinesePrc);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    unsetenv("LANG");
    EXPECT_EQ(UiLanguageFromLocale(), kLanguageEnglishUs);
}

}  // namespace
}  // namespace vornak
