#pragma once

#include <utility>

#include "link/win32/win32_api.h"

namespace vornak {

// Owns one Win32 object and releases it once. Traits give the "none" value
// (INVALID_HANDLE_VALUE for files and device sets, null for events and
// notifications) and the release call.
template <typename Traits>
class ScopedWin32 {
public:
    using Type = typename Traits::Type;

    ScopedWin32() = default;
    explicit ScopedWin32(Type value) : value_(value) {}
    ~ScopedWin32() { Reset(); }
    ScopedWin32(ScopedWin32&& other) noexcept : value_(std::exchange(other.value_, Traits::None())) {}
    ScopedWin32& operator=(ScopedWin32&& other) noexcept
    {
        if (this != &other) {
            Reset();
            value_ = std::exchange(other.value_, Traits::None());
        }
        return *this;
    }
    ScopedWin32(const ScopedWin32&) = delete;
    ScopedWin32& operator=(const ScopedWin32&) = delete;

    Type Get() const { return value_; }
    bool IsValid() const { return value_ != Traits::None(); }
    void Reset()
    {
        if (IsValid())
            Traits::Release(value_);
        value_ = Traits::None();
    }

private:
    Type value_ = Traits::None();
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type None() { return INVALID_HANDLE_VALUE; }
    static void Release(Type value) { CloseHandle(value); }
};

struct EventHandleTraits {
    using Type = HANDLE;
    static Type None() { return nullptr; }
    static void Release(Type value) { CloseHandle(value); }
};

struct DeviceInfoListTraits {
    using Type = HDEVINFO;
    static Type None() { return INVALID_HANDLE_VALUE; }
    static void Release(Type value) { SetupDiDestroyDeviceInfoList(value); }
};

struct DeviceNotifyTraits {
    using Type = HDEVNOTIFY;
    static Type None() { return nullptr; }
    static void Release(Type value) { UnregisterDeviceNotification(value); }
};

using ScopedFileHandle = ScopedWin32<FileHandleTraits>;
using ScopedEvent = ScopedWin32<EventHandleTraits>;
using ScopedDeviceInfoList = ScopedWin32<DeviceInfoListTraits>;
using ScopedDeviceNotify = ScopedWin32<DeviceNotifyTraits>;

}  // namespace vornak
