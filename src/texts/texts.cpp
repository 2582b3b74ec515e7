#include "texts/texts.h"

#include <cstdio>

namespace vornak {
namespace {

// Resource number = index + 129 (Chinese) or index + 238 (English).
constexpr int kChineseBase = 129;
constexpr int kEnglishBase = 238;

struct StringEntry {
    int resource;
    const char* text;
};

constexpr StringEntry kStringTable[] = {
    {132, "文件类型中显示的内容"},
    {135, "Vornak Update v2.16"},
    {241, "File type"},
    {244, "Vornak Update v2.16"},
};

}  // namespace

const char* const kInstructionsChinese =
    "1. 手柄关机状态下按住 LB + RB + Home 开机，顶部电源灯闪烁\r\n"
    "\r\n"
    "  （USB 端口旁）。\r\n"
    "\r\n"
    "2. 插入 USB 线。\r\n"
    "\r\n"
    "3. 点击升级按钮升级。";

const char* const kInstructionsEnglish =
    "1. Press and hold LB + RB + Home to power on controller,LED on the top will blink in red.\r\n"
    "\r\n"
    "2. Connect to PC via USB cable.\r\n"
    "\r\n"
    "3. Click USB Update button and select firmware file(.dat).";

std::string StringResource(int resourceNumber)
{
    for (const StringEntry& entry : kStringTable)
        if (entry.resource == resourceNumber)
            return entry.text;
    return {};
}

std::string LoadText(int index, uint16_t language)
{
    return StringResource(index + (language == kLanguageChinesePrc ? kChineseBase : kEnglishBase));
}

const char* InstructionsFor(uint16_t language)
{
    return language == kLanguageChinesePrc ? kInstructionsChinese : kInstructionsEnglish;
}

std::string VersionTitle(const std::string& productTitle, bool singleNumber, uint32_t version,
                         uint32_t minor, uint32_t beta)
{
    char numbers[64];
    if (singleNumber && beta != 0)
        std::snprintf(numbers, sizeof numbers, " (Device: v%x beta%x)\n", version, beta);
    else if (singleNumber)
        std::snprintf(numbers, sizeof numbers, " (Device: v%x)\n", version);
    else if (beta != 0)
        std::snprintf(numbers, sizeof numbers, " (Device: v%x.%x beta%x)\n", version, minor, beta);
    else
        std::snprintf(numbers, sizeof numbers, " (Device: v%x.%x)\n", version, minor);
    return productTitle + numbers;
}

}  // namespace vornak
