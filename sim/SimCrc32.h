#pragma once

#include <cstdint>
#include <span>

namespace qozel::sim {

// CRC-32/MPEG-2 (polynomial 0x04C11DB7, MSB first, initial 0xFFFFFFFF, no
// final XOR), computed bit by bit on the device side.
std::uint32_t Mpeg2Crc32(std::span<const std::uint8_t> data);

} // namespace qozel::sim
