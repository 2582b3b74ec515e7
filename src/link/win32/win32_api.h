#pragma once

// The Win32 headers every file of the Windows backend and window uses, in the
// order they need.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <dbt.h>
#include <setupapi.h>

// <hidsdi.h> declares C functions without an extern "C" of its own.
extern "C" {
#include <hidsdi.h>
}

// <windows.h> maps this name to RegisterDeviceNotificationA/W, which would
// rename the HidBackend member in every file that sees both headers.
#undef RegisterDeviceNotification
