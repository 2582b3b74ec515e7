#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vornak::testing {

// A shell command that writes exactly these bytes (printf with octal escapes).
inline std::string PrintfBytes(const std::vector<uint8_t>& bytes)
{
    std::string command = "printf '";
    for (uint8_t b : bytes) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\%03o", b);
        command += escape;
    }
    return command + "'";
}

inline std::vector<uint8_t> IdentityBytes(uint16_t vendorId, uint16_t productId)
{
    return {static_cast<uint8_t>(vendorId), static_cast<uint8_t>(vendorId >> 8), static_cast<uint8_t>(productId),
            static_cast<uint8_t>(productId >> 8)};
}

// One 65-byte input frame: a report ID, then 64 bytes of fill.
inline std::vector<uint8_t> FrameBytes(uint8_t reportId, uint8_t fill)
{
    std::vector<uint8_t> frame(65, fill);
    frame[0] = reportId;
    return frame;
}

inline std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace vornak::testing
