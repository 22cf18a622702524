#pragma once

#include <cstdint>
#include <span>

namespace qozel {

// Fills `out` from the operating system's random source, waiting until it
// is seeded. Throws std::system_error when the source is unavailable.
void OsRandom(std::span<std::uint8_t> out);

} // namespace qozel
