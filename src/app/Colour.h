#pragma once

#include <cstdint>

namespace qozel {

// The colours the window draws its cells and labels in.
enum class Colour : std::uint8_t {
    Window,      // the system's window background
    WindowText,  // the system's window text
    Red,
    Lime,        // pure green
    Yellow,
};

// The tick mark of the key and event cells.
inline constexpr const char* kTickMark = "\u2713";

} // namespace qozel
