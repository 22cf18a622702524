#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qozel::sim {

// The device side of the command frame, written independently of the
// product's own frame code so that tests check one against the other.
using Bytes = std::vector<std::uint8_t>;

// A little-endian 32-bit field of a request; callers guarantee four bytes.
inline std::uint32_t Le32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// CRC-16/MODBUS computed bit by bit.
std::uint16_t ModbusCrc(std::span<const std::uint8_t> data);

// length (LE16, payload + 5), code, payload, CRC low byte first.
Bytes MakeFrame(std::uint8_t code, std::span<const std::uint8_t> payload);

struct ParsedFrame {
    std::uint8_t code = 0;
    Bytes payload;
};

// The frame in `transfer` when it is exactly one well-formed frame.
std::optional<ParsedFrame> ParseFrame(std::span<const std::uint8_t> transfer);

} // namespace qozel::sim
