#include "link/win32/win32_error.h"

#include "link/win32/wide_text.h"
#include "link/win32/win32_api.h"

namespace vornak {

std::string Win32ErrorText(uint32_t code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr)
        return "unknown error";
    std::wstring text(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return Utf8FromWide(text);
}

std::string Win32CallFailure(const std::string& call, uint32_t code)
{
    return call + ": " + Win32ErrorText(code) + " (error " + std::to_string(code) + ")";
}

}  // namespace vornak
