#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vornak {

inline constexpr size_t kReportPayloadSize = 64;                     // bytes above the link
inline constexpr size_t kOutputReportSize = kReportPayloadSize + 1;  // report ID byte + payload

// One HID device interface as the platform lists it. The ids come from the HID
// device itself, not from a USB parent (virtual devices have none).
struct HidInterface {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// How a path is opened: discovery's probe (read and write), the synchronous
// write handle, or the read handle whose reads wait with a time-out.
enum class OpenAccess { Probe, Write, Read };

enum class OpenFailure { None, AccessDenied, NotFound, Other };

struct OpenError {
    OpenFailure kind = OpenFailure::None;
    std::string message;  // names the failing call and the OS error text
};

enum class ReadOutcome { Report, TimedOut, Failed };

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::Failed;
    uint32_t errorCode = 0;  // platform error for Failed; never 0, 0x80 or 0x102
};

// One open handle on a device interface. Each backend adds or drops the
// report-ID byte as its platform requires; above this seam a report is always
// the 64 payload bytes.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    // Writes one output report: report ID byte first, then the payload. A short
    // write is a failure.
    virtual bool WriteReport(std::span<const uint8_t> report) = 0;
    // Waits up to timeoutMs for one input report and delivers its 64 payload
    // bytes. On anything but Report the destination is not touched.
    virtual ReadResult ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs) = 0;
};

// A device-change registration; released by its destructor.
class DeviceNotification {
public:
    virtual ~DeviceNotification() = default;
};

// Opaque handle of the window that receives device-change notifications.
using NotifyWindow = void*;

// The platform calls, and nothing else. Implemented by the hidapi, Win32 and
// pipe backends and by the simulated controller.
class HidBackend {
public:
    virtual ~HidBackend() = default;
    // Every present HID interface, in the platform's enumeration order.
    virtual std::vector<HidInterface> EnumerateInterfaces() = 0;
    // Opens a path that came from EnumerateInterfaces; null with the reason on failure.
    virtual std::unique_ptr<HidDevice> OpenInterface(const std::string& path, OpenAccess access,
                                                     OpenError& error) = 0;
    // Registers the window for HID arrival and removal notifications; null on failure.
    virtual std::unique_ptr<DeviceNotification> RegisterDeviceNotification(NotifyWindow window) = 0;
};

}  // namespace vornak
