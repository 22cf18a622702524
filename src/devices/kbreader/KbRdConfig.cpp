#include "devices/kbreader/KbRdConfig.h"

namespace qozel {
namespace {

// Byte 1 bit 5 selects the RoRe, byte 2 bits 0..2 the UID, department and index.
constexpr std::size_t kFieldByte[4] = {1, 2, 2, 2};
constexpr std::uint8_t kFieldBit[4] = {0x20, 0x01, 0x02, 0x04};
constexpr std::size_t kSeparatorByte = 9;  // bytes 9..12, one per field
constexpr std::size_t kEndKeyByte = 13;
constexpr std::size_t kFormatByte = 15;    // bits 1..4 hexadecimal per field, bit 7 Enter
constexpr std::uint8_t kEnterBit = 0x80;

std::uint8_t KeyCode(int item) noexcept
{
    return item >= 0 && static_cast<std::size_t>(item) < KeyCodeTable.size() ? KeyCodeTable[item] : 0;
}

} // namespace

KbRdConfig BuildKbRdConfig(const std::array<KbRdFieldSetting, 4>& fields, int endItem, bool enterAtEnd) noexcept
{
    KbRdConfig config{};
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (fields[k].typed)
            config[kFieldByte[k]] |= kFieldBit[k];
        config[kSeparatorByte + k] = KeyCode(fields[k].separatorItem);
        if (fields[k].hex)
            config[kFormatByte] |= static_cast<std::uint8_t>(1u << (k + 1));
    }
    config[kEndKeyByte] = KeyCode(endItem);
    if (enterAtEnd)
        config[kFormatByte] |= kEnterBit;
    return config;
}

} // namespace qozel
