#include "link/linux/hidapi_library.h"

#include <cwchar>
#include <system_error>

#include "link/linux/wide_text.h"

namespace vornak::linux_hid {

HidapiLibrary::HidapiLibrary(HidapiCalls calls) : calls_(std::move(calls)) { calls_.init(); }

HidapiLibrary::~HidapiLibrary() { calls_.exit(); }

std::string HidapiLibrary::ErrorText(hid_device* device, int osError) const
{
    const wchar_t* text = calls_.error(device);
    // hidapi answers "Success" when it recorded nothing.
    if (text != nullptr && *text != L'\0' && std::wcscmp(text, L"Success") != 0)
        return WideToUtf8(text);
    if (osError != 0)
        return std::error_code(osError, std::generic_category()).message();
    return "unknown error";
}

}  // namespace vornak::linux_hid
