#include "link/win32/wide_text.h"

#include <limits>

#include "link/win32/win32_api.h"

namespace vornak {

std::wstring WideFromUtf8(std::string_view text)
{
    if (text.empty() || text.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return {};
    const int length = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (chars <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), chars);
    return wide;
}

std::string Utf8FromWide(std::wstring_view text)
{
    if (text.empty() || text.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return {};
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

}  // namespace vornak
