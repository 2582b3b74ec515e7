#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vornak {

// Asked anew at every use: the user interface language as a Windows language id.
using UiLanguageSource = std::function<uint16_t()>;

inline constexpr uint16_t kLanguageChinesePrc = 2052;  // 0x0804
inline constexpr uint16_t kLanguageChineseTaiwan = 0x0404;
inline constexpr uint16_t kLanguageEnglishUs = 0x0409;

// String table indexes.
inline constexpr int kTextFileType = 3;
inline constexpr int kTextProductTitle = 6;

// The localized entry of index for the language, or "" when there is none.
std::string LoadText(int index, uint16_t language);

// The string resource behind a resource number (132, 135, 241, 244), or "".
std::string StringResource(int resourceNumber);

// The instructions, lines joined by CR LF.
extern const char* const kInstructionsChinese;
extern const char* const kInstructionsEnglish;
const char* InstructionsFor(uint16_t language);

// Texts that are the same in every language.
inline constexpr const char* kTextUpdateButton = "USB_Update";
inline constexpr const char* kTextUpdatedSuccessful = "Updated successful!";
inline constexpr const char* kTextUpdatedFailed = "Updated failed!";
inline constexpr const char* kTextFileMismatch = "文件不匹配";
inline constexpr const char* kTextFileFilterSuffix = "(*.dat)|*.dat||";
inline constexpr const char* kTextCloseRefused =
    "An update is running. Please wait until it has finished before closing the window.";

// Title formats, filled with the product title and numbers in lower-case hex.
std::string VersionTitle(const std::string& productTitle, bool singleNumber, uint32_t version,
                         uint32_t minor, uint32_t beta);

}  // namespace vornak
