#include <gtest/gtest.h>

#include <string>

#include "texts/texts.h"

namespace vornak {
namespace {

TEST(Texts, StringTableByLanguage)
{
    const struct {
        uint16_t language;
        int index;
        const char* text;
    } cases[] = {
        {kLanguageChinesePrc, 3, "文件类型中显示的内容"},
        {kLanguageEnglishUs, 3, "File type"},
        {kLanguageChineseTaiwan, 3, "File type"},
        {kLanguageChinesePrc, 6, "Vornak Update v2.16"},
        {kLanguageEnglishUs, 6, "Vornak Update v2.16"},
        {kLanguageEnglishUs, 4, ""},  // no such entry
        {kLanguageChinesePrc, -129, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadText(c.index, c.language), c.text) << c.language << "/" << c.index;
    EXPECT_EQ(StringResource(132), "文件类型中显示的内容");
    EXPECT_EQ(StringResource(241), "File type");
}

TEST(Texts, InstructionsByteForByte)
{
    EXPECT_STREQ(InstructionsFor(kLanguageChinesePrc), kInstructionsChinese);
    EXPECT_STREQ(InstructionsFor(kLanguageChineseTaiwan), kInstructionsEnglish);
    const std::string english = kInstructionsEnglish;
    EXPECT_EQ(english,
              "1. Press and hold LB + RB + Home to power on controller,LED on the top will blink in red.\r\n\r\n"
              "2. Connect to PC via USB cable.\r\n\r\n"
              "3. Click USB Update button and select firmware file(.dat).");
    const std::string chinese = kInstructionsChinese;
    EXPECT_NE(chinese.find("\r\n\r\n  （USB 端口旁）。\r\n\r\n"), std::string::npos);
    EXPECT_EQ(chinese.substr(chinese.size() - std::string("3. 点击升级按钮升级。").size()), "3. 点击升级按钮升级。");
}

TEST(Texts, VersionTitleFormatsEndInALineFeed)
{
    const std::string product = "Vornak Update v2.16";
    const struct {
        bool single;
        uint32_t version, minor, beta;
        const char* suffix;
    } cases[] = {
        {true, 0x1B, 0, 0, " (Device: v1b)\n"},
        {true, 0x2A, 0, 5, " (Device: v2a beta5)\n"},
        {true, 0x01, 0, 0xF, " (Device: v1 betaf)\n"},
        {false, 0x12, 0x03, 0, " (Device: v12.3)\n"},
        {false, 0x12, 0x03, 7, " (Device: v12.3 beta7)\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionTitle(product, c.single, c.version, c.minor, c.beta), product + c.suffix);
}

}  // namespace
}  // namespace vornak
