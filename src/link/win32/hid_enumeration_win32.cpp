#include "link/win32/hid_enumeration_win32.h"

#include <optional>
#include <string>

#include "link/win32/interface_detail_block.h"
#include "link/win32/scoped_win32.h"
#include "link/win32/wide_text.h"
#include "link/win32/win32_api.h"

namespace vornak {
namespace {

// Attributes need no read or write access, so devices that the system holds
// for itself (keyboards, mice) still report their ids.
void ReadIds(const std::wstring& path, HidInterface& item)
{
    const ScopedFileHandle handle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
    if (!handle.IsValid())
        return;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!HidD_GetAttributes(handle.Get(), &attributes))
        return;
    item.vendorId = attributes.VendorID;
    item.productId = attributes.ProductID;
}

}  // namespace

std::vector<HidInterface> EnumerateHidInterfaces()
{
    GUID hidGuid{};
    HidD_GetHidGuid(&hidGuid);
    const ScopedDeviceInfoList set(
        SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    std::vector<HidInterface> found;
    if (!set.IsValid())
        return found;

    InterfaceDetailBlock detail;
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &hidGuid, index, &interfaceData);
         ++index) {
        const std::optional<std::wstring> path =
            detail.PathOf([&](SP_DEVICE_INTERFACE_DETAIL_DATA_W* record, DWORD size, DWORD* required) {
                return SetupDiGetDeviceInterfaceDetailW(set.Get(), &interfaceData, record, size, required,
                                                        nullptr) != FALSE;
            });
        if (!path)
            continue;
        HidInterface item;
        item.path = Utf8FromWide(*path);
        ReadIds(*path, item);
        found.push_back(std::move(item));
    }
    return found;
}

}  // namespace vornak
