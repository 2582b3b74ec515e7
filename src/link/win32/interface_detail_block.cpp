#include "link/win32/interface_detail_block.h"

#include <cstddef>
#include <cwchar>

namespace vornak {

std::optional<std::wstring> InterfaceDetailBlock::PathOf(const DetailQuery& query)
{
    for (int attempt = 0; attempt < kDetailQueryAttempts; ++attempt) {
        if (words_.empty() && !Allocate(query))
            return std::nullopt;
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(words_.data());
        // The fixed part of the record as this process's architecture lays it
        // out: 8 in a 64-bit process, 6 only in a 32-bit one.
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (query(detail, SizeBytes(), nullptr)) {
            const size_t maxChars =
                (SizeBytes() - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(wchar_t);
            return std::wstring(detail->DevicePath, wcsnlen(detail->DevicePath, maxChars));
        }
        words_.clear();  // too small for this interface's path: size it anew
    }
    return std::nullopt;
}

bool InterfaceDetailBlock::Allocate(const DetailQuery& query)
{
    DWORD required = 0;
    query(nullptr, 0, &required);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
        return false;
    words_.assign((required + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    return true;
}

}  // namespace vornak
