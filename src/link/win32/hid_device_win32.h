#pragma once

#include "link/hid_backend.h"
#include "link/win32/scoped_win32.h"

namespace vornak {

// One handle on a HID device interface. Write handles are synchronous; read
// and probe handles are overlapped so a read can wait with a time-out.
class HidDeviceWin32 final : public HidDevice {
public:
    HidDeviceWin32(ScopedFileHandle handle, OpenAccess access);

    bool WriteReport(std::span<const uint8_t> report) override;
    ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs) override;

private:
    ScopedFileHandle handle_;
    OpenAccess access_;
};

}  // namespace vornak
