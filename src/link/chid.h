#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/clock.h"
#include "link/hid_backend.h"

namespace vornak {

// The supported controller.
inline constexpr uint16_t kSupportedVendorId = 0x2DC8;
inline constexpr uint16_t kSupportedProductId = 0x3014;

// Read statuses towards the protocol.
inline constexpr uint32_t kReadOk = 0;
inline constexpr uint32_t kReadTimeout = 0x102;  // WAIT_TIMEOUT
inline constexpr uint32_t kReadNotOpen = 0x80;   // the link is not open
inline constexpr uint32_t kReadFailed = 0x1F;    // refused at once, e.g. the device is gone

inline constexpr uint32_t kInitialTimeoutMs = 10;
inline constexpr uint32_t kOpenTimeoutMs = 200;

// The report link to the controller and its discovery. Above it a report is
// 64 payload bytes; the backend carries the platform calls.
class CHid {
public:
    explicit CHid(HidBackend& backend);
    virtual ~CHid();
    CHid(const CHid&) = delete;
    CHid& operator=(const CHid&) = delete;

    // Report link.
    int Open();
    void SetTimeout(uint32_t ms) { m_nTimeout = ms; }
    uint32_t ReadReport(uint8_t* destination, uint8_t length);
    int WriteReport(const uint8_t* payload, uint8_t reportId, uint8_t length);
    int WriteFrame(const uint8_t* payload, uint8_t length);

    // Discovery.
    int FindDevice(std::unique_ptr<HidDevice>& probe);
    int IsDevicePresent();
    int RegisterNotification();

    // Where discovery writes its debug line.
    void SetDebugOutput(std::function<void(const std::string&)> sink) { debugOutput_ = std::move(sink); }

    // Set once discovery has found the supported controller; never cleared.
    std::atomic<uint32_t> deviceRecognised{0};

    // The path of a supported controller that the latest discovery saw but
    // could not open for lack of access rights; empty otherwise.
    const std::string& accessDeniedPath() const { return accessDeniedPath_; }

    NotifyWindow m_hNotifyWnd = nullptr;
    std::unique_ptr<HidDevice> m_hWrite;
    std::unique_ptr<HidDevice> m_hRead;
    std::string m_DevicePath;
    uint32_t m_nTimeout = kInitialTimeoutMs;
    uint32_t m_bNotifyRegistered = 0;
    std::unique_ptr<DeviceNotification> m_hDevNotify;

private:
    HidBackend& backend_;
    std::function<void(const std::string&)> debugOutput_;
    std::string accessDeniedPath_;
};

}  // namespace vornak
