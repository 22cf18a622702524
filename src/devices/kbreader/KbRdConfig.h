#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qozel {

// The keyboard reader's 16-byte output configuration record: which fields it
// types, in hexadecimal or decimal, and the key typed before each field and
// at the end. Written to the reader as a whole, never read back.
using KbRdConfig = std::array<std::uint8_t, 16>;

// USB HID keyboard usage IDs (US layout) of the separators offered in the
// character lists, indexed by the item chosen; bit 7 means Shift is held.
inline constexpr std::array<std::uint8_t, 14> KeyCodeTable = {
    0x00, 0x2C, 0x2B, 0x36, 0x33, 0x37, 0xB3, 0xA5, 0xA0, 0x2D, 0xAD, 0x38, 0x31, 0xB1,
};

// The items of the character lists, in the order of KeyCodeTable.
inline constexpr std::array<const char*, 14> KeyCodeItems = {
    "brak", "Sp.", "Tab", ",", ";", ".", ":", "*", "#", "-", "_", "/", "\\", "|",
};

// The fields the reader can type, in the order of the rows of the cards tab.
enum class KbRdField : std::size_t { RoRe = 0, Uid = 1, Department = 2, Index = 3 };

struct KbRdFieldSetting {
    bool typed = false;
    bool hex = false;
    int separatorItem = 0;  // item of the character list typed before the field

    friend bool operator==(const KbRdFieldSetting&, const KbRdFieldSetting&) = default;
};

// Builds the record from zero. An item outside the character list counts as
// "brak" (nothing typed).
KbRdConfig BuildKbRdConfig(const std::array<KbRdFieldSetting, 4>& fields, int endItem, bool enterAtEnd) noexcept;

} // namespace qozel
