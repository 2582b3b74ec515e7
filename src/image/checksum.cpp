#include "image/checksum.h"

#include <array>

namespace vornak {
namespace {

constexpr uint16_t kReflectedPolynomial = 0xA001;

constexpr uint16_t StepByte(uint16_t reg, uint8_t byte)
{
    for (int bit = 0; bit < 8; ++bit) {
        const bool lowBit = ((reg ^ byte) & 1u) != 0;
        reg = static_cast<uint16_t>(reg >> 1);
        if (lowBit)
            reg ^= kReflectedPolynomial;
        byte = static_cast<uint8_t>(byte >> 1);
    }
    return reg;
}

constexpr std::array<uint16_t, 256> MakeTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i)
        table[i] = StepByte(0, static_cast<uint8_t>(i));
    return table;
}

constexpr std::array<uint16_t, 256> kTable = MakeTable();

}  // namespace

uint16_t Crc16(const uint8_t* data, int32_t count)
{
    uint16_t reg = 0xFFFF;
    for (int32_t i = 0; i < count; ++i)
        reg = static_cast<uint16_t>((reg >> 8) ^ kTable[(reg ^ data[i]) & 0xFFu]);
    return reg;
}

uint16_t Crc16Bitwise(const uint8_t* data, int32_t count)
{
    uint16_t reg = 0xFFFF;
    for (int32_t i = 0; i < count; ++i)
        reg = StepByte(reg, data[i]);
    return reg;
}

uint8_t Sum8(const uint8_t* data, uint16_t count)
{
    uint8_t sum = 0;
    for (uint16_t i = 0; i < count; ++i)
        sum = static_cast<uint8_t>(sum + data[i]);
    return sum;
}

}  // namespace vornak
