#pragma once

#include <hidapi.h>

#include <cstddef>
#include <functional>

namespace vornak::linux_hid {

// The few hidapi functions the backend uses, as a table, so tests can replace
// the library with a fake.
struct HidapiCalls {
    std::function<int()> init;
    std::function<int()> exit;
    std::function<hid_device_info*(unsigned short vendorId, unsigned short productId)> enumerate;
    std::function<void(hid_device_info* list)> freeEnumeration;
    std::function<hid_device*(const char* path)> openPath;
    std::function<void(hid_device* device)> close;
    std::function<int(hid_device* device, const unsigned char* data, size_t length)> write;
    std::function<int(hid_device* device, unsigned char* data, size_t length, int timeoutMs)> readTimeout;
    // null asks for the error of the last open.
    std::function<const wchar_t*(hid_device* device)> error;
};

// The table filled with the real hidapi (hidraw flavour).
HidapiCalls RealHidapiCalls();

}  // namespace vornak::linux_hid
