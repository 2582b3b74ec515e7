#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/win32/win32_api.h"

namespace vornak {

// One SetupDiGetDeviceInterfaceDetailW call for the interface being read:
// detail is null (and size 0) when only the needed size is asked for.
using DetailQuery = std::function<bool(SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD size, DWORD* required)>;

// How often the detail query of one interface is sized and repeated before
// the interface is passed over, so a query that keeps failing ends the walk.
inline constexpr int kDetailQueryAttempts = 3;

// The interface detail record, sized by the system for the first interface and
// reused for the next ones; replaced by a larger one when a path does not fit.
class InterfaceDetailBlock {
public:
    // The interface's device path, or nothing once kDetailQueryAttempts
    // queries have failed.
    std::optional<std::wstring> PathOf(const DetailQuery& query);

private:
    bool Allocate(const DetailQuery& query);
    DWORD SizeBytes() const { return static_cast<DWORD>(words_.size() * sizeof(DWORD)); }

    std::vector<DWORD> words_;  // DWORD elements keep the record aligned
};

}  // namespace vornak
