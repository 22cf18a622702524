#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// An event frame (code 101) the Manager sends unasked: the reader's id, then
// the event bytes, the first being the kind.
struct ReaderEvent {
    static constexpr std::size_t kMaxBytes = 256;

    enum Kind : std::uint8_t {
        CardUid = 0,        // 1 byte, then the 8-byte UID
        CardData = 2,       // 1 byte, then UID / department / index as the reader's config2 selects
        RoRe = 4,           // 1 byte, then the 8-byte phone identifier
        Pin = 6,            // the PIN as 8-bit characters, at most 8
        InputStatus = 8,    // tamper bits, power bits
        BackupCertificate = 254,  // the 120-byte certificate of a backup card
        NoKind = 255,       // an event frame that ended before its kind byte
    };

    std::uint32_t readerId = 0;
    // Only the first `length` bytes arrived; the rest is zero.
    std::array<std::uint8_t, kMaxBytes> bytes{};
    std::size_t length = 0;

    std::uint8_t kind() const noexcept { return length > 0 ? bytes[0] : std::uint8_t{NoKind}; }
    std::span<const std::uint8_t> data() const noexcept { return std::span(bytes).first(length); }
};

} // namespace qozel
