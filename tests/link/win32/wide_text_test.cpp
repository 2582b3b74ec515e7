#include "link/win32/wide_text.h"

#include <gtest/gtest.h>

#include "link/win32/win32_error.h"
#include "link/win32/win32_api.h"

namespace vornak {
namespace {

TEST(WideText, ConvertsBothWays)
{
    const struct {
        const char* utf8;
        const wchar_t* utf16;
    } cases[] = {
        {"", L""},
        {"\\\\?\\hid#vid_2dc8&pid_3014#7&1a2b", L"\\\\?\\hid#vid_2dc8&pid_3014#7&1a2b"},
        {"文件不匹配", L"\u6587\u4ef6\u4e0d\u5339\u914d"},
        {"C:\\固件\\update.dat", L"C:\\\u56fa\u4ef6\\update.dat"},
        {"\xF0\x9F\x8E\xAE", L"\xD83C\xDFAE"},  // outside the BMP: a surrogate pair
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideFromUtf8(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(Utf8FromWide(c.utf16), c.utf8) << c.utf8;
    }
}

TEST(WideText, KeepsEmbeddedNulCharacters)
{
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(WideFromUtf8(withNul), std::wstring(L"a\0b", 3));
}

TEST(Win32CallFailure, NamesTheCallTheSystemTextAndTheCode)
{
    const std::string text = Win32CallFailure("CreateFileW(x)", ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(text.rfind("CreateFileW(x): ", 0), 0u) << text;
    EXPECT_NE(text.find("(error 2)"), std::string::npos) << text;
    EXPECT_GT(text.size(), std::string("CreateFileW(x):  (error 2)").size()) << "no system text: " << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
}

}  // namespace
}  // namespace vornak
