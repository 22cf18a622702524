#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// Command frame: 16-bit LE total length (payload + 5), command code, payload,
// CRC-16/MODBUS of everything before it, low byte first.
inline constexpr std::size_t kFrameOverhead = 5;
inline constexpr std::size_t kMaxPayload = 1027;
inline constexpr std::size_t kMaxFrame = kMaxPayload + kFrameOverhead;   // 1032
inline constexpr std::uint8_t kReplyBit = 0x80;
inline constexpr std::uint16_t kCrc16Init = 0xFFFF;
inline constexpr std::uint32_t kCrc32Init = 0xFFFFFFFF;

// The state query every device answers with its 8-byte identity record.
inline constexpr std::uint8_t kCmdReadState = 77;

using FrameBuffer = std::array<std::uint8_t, kMaxFrame>;

// CRC-16/MODBUS (reflected polynomial 0xA001), no final XOR. Over a whole
// valid frame, CRC bytes included, it is 0.
std::uint16_t Crc16(std::span<const std::uint8_t> data, std::uint16_t init = kCrc16Init) noexcept;
// CRC-32/MPEG-2 (polynomial 0x04C11DB7, MSB first, no reflection, no final XOR).
std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t init = kCrc32Init) noexcept;

// Writes the frame for `command` and `payload` at the start of `out`; returns
// its length, or 0 when the payload is longer than `out` allows.
std::size_t BuildFrame(std::uint8_t command, std::span<const std::uint8_t> payload,
                       std::span<std::uint8_t> out) noexcept;

// True when `transfer` is exactly one valid frame: longer than 5 bytes, its
// length field equal to its size, and its CRC checking to 0.
bool IsValidFrame(std::span<const std::uint8_t> transfer) noexcept;

// Reads a little-endian value; callers guarantee the bytes exist.
inline std::uint16_t GetLe16(const std::uint8_t* p) noexcept
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t GetLe32(const std::uint8_t* p) noexcept
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void PutLe16(std::uint8_t* p, std::uint16_t v) noexcept
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutLe32(std::uint8_t* p, std::uint32_t v) noexcept
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace qozel
