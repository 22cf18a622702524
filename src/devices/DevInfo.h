#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace qozel {

// The 8-byte identity and state record every device and bus reader returns:
// four little-endian 16-bit words.
struct DevInfo {
    std::uint16_t nr = 0;      // device number
    std::uint16_t type = 0;    // model family and model number
    std::uint16_t soft = 0;    // software version
    std::uint16_t flags = 0;   // state word, meaning per device kind

    static constexpr std::size_t kSize = 8;

    static constexpr DevInfo FromBytes(std::span<const std::uint8_t, kSize> b) noexcept
    {
        auto word = [&](std::size_t i) { return static_cast<std::uint16_t>(b[i] | b[i + 1] << 8); };
        return {word(0), word(2), word(4), word(6)};
    }
    constexpr void ToBytes(std::span<std::uint8_t, kSize> out) const noexcept
    {
        const std::uint16_t words[] = {nr, type, soft, flags};
        for (std::size_t i = 0; i < 4; ++i) {
            out[2 * i] = static_cast<std::uint8_t>(words[i]);
            out[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
        }
    }

    // nr + 65536 * type: how a certificate request or relayed command names a device.
    std::uint32_t DeviceId() const noexcept { return nr | (static_cast<std::uint32_t>(type) << 16); }
    // Type 0 and 0xFFFF stand for no device.
    bool HasDevice() const noexcept { return type != 0 && type != 0xFFFF; }

    friend bool operator==(const DevInfo&, const DevInfo&) = default;
};

// "QO-L74" and the like, from the type word alone.
std::string ShortName(const DevInfo& info);
// "QO-V70 Nr: 12, Soft: 3", or a placeholder for a record without a device.
std::string LongName(const DevInfo& info);
// Copies word by word; true when any word differed.
bool CopyDevInfo(DevInfo& destination, const DevInfo& source) noexcept;

inline constexpr const char* kLongNamePlaceholder = "   ============   ";

// Titles of the four USB device kinds.
inline constexpr const char* kArkanTitle = "QoZEL Arkan";
inline constexpr const char* kProgrammerTitle = "Programator QO-G30";
inline constexpr const char* kKbReaderTitle = "Czytnik klawiaturowy QO-K31";
inline constexpr const char* kManagerTitle = "QoZEL Manager";

} // namespace qozel
