#pragma once

#include "devices/DevInfo.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// The system's copy of one reader of the Manager's list.
struct ReaderRecord {
    // Key state bits in the high byte of info.flags.
    static constexpr std::uint16_t kKeyBit0 = 0x0100;
    static constexpr std::uint16_t kKeyBit1 = 0x0200;
    static constexpr std::uint16_t kKeyMatchesSignature = 0x0400;
    // Option bits of the tamper inputs the reader has.
    static constexpr std::uint32_t kHasTamper1 = 1u << 3;
    static constexpr std::uint32_t kHasTamper2 = 1u << 4;

    DevInfo info{};              // flags: low byte bus address, high byte key state
    std::uint32_t options = 0;
    std::uint32_t baud100 = 0;   // bus rate / 100
    std::uint8_t config0 = 0;    // bit 1 PIN sent whole, bit 2 star key clears the digits
    std::uint8_t config1 = 0;    // bit 5 phone identifier reading enabled
    std::uint8_t config2 = 0;    // card data sent: bit 0 UID, bit 1 department, bit 2 index
    bool online = false;
    std::uint16_t supplyU = 0;      // 10 mV units
    std::uint16_t supplyUpp = 0;
    std::uint16_t supplyMaxUpp = 0;

    // How relayed commands and events name the reader; 0 ends the list.
    std::uint32_t readerId() const noexcept { return info.DeviceId(); }
    std::uint8_t address() const noexcept { return static_cast<std::uint8_t>(info.flags); }
    std::uint8_t keyState() const noexcept { return static_cast<std::uint8_t>(info.flags >> 8); }
    bool HasKeyBits(std::uint16_t bits) const noexcept { return (info.flags & bits) == bits; }
};

// A two-reader interface module QO-L74.
inline bool IsModuleType(std::uint16_t type) noexcept
{
    return (type & 0x73FF) == 774;
}

// One 22-byte entry of the Manager's reader list.
inline constexpr std::size_t kReaderListEntrySize = 22;
inline constexpr std::size_t kMaxReaders = 32;
inline constexpr std::size_t kReaderListMax = kMaxReaders * kReaderListEntrySize;

// Copies a list entry into `record`; true when anything but the supply values
// changed. An entry with id 0 over a record with id 0 copies nothing.
bool CopyReaderListEntry(ReaderRecord& record, std::span<const std::uint8_t, kReaderListEntrySize> entry) noexcept;

} // namespace qozel
