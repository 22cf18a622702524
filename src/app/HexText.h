#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace qozel {

// Upper-case hexadecimal, two digits per byte, no separators.
std::string HexText(std::span<const std::uint8_t> bytes);

} // namespace qozel
