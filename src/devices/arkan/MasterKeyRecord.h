#pragma once

#include "platform/SecureMemory.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// The 52-byte payload of command 75 that stores a master key in the Arkan:
//   0  1            4  symbol, 8 bytes of Windows-1250 text, zero-filled
//   1  0x80 temporary / 0x00 target     12  key signature (LE)
//   2  1            16  the master key, 32 bytes
//   3  0            48  CRC-32/MPEG-2 of bytes 0-47 (LE)
struct MasterKeyRecord {
    static constexpr std::size_t kSize = 52;
    static constexpr std::size_t kSymbolSize = 8;
    static constexpr std::size_t kKeySize = 32;
    static constexpr std::uint8_t kTemporary = 0x80;
    static constexpr std::uint8_t kTarget = 0x00;

    // `symbol` longer than 8 bytes is cut at 8.
    static MasterKeyRecord Make(bool temporary, std::span<const std::uint8_t> symbol, std::uint32_t keySignature,
                                std::span<const std::uint8_t, kKeySize> masterKey);

    SecretBytes<kSize> bytes;
};

} // namespace qozel
