#pragma once

#include <cstdint>

namespace vornak {

// CRC-16/MODBUS: reflected polynomial 0xA001, initial 0xFFFF, no final xor.
// A count of zero or less returns 0xFFFF and reads nothing.
uint16_t Crc16(const uint8_t* data, int32_t count);

// The bit-by-bit definition; the table-driven Crc16 must equal it everywhere.
uint16_t Crc16Bitwise(const uint8_t* data, int32_t count);

// Sum of the bytes modulo 256.
uint8_t Sum8(const uint8_t* data, uint16_t count);

}  // namespace vornak
