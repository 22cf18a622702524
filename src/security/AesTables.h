#pragma once

#include <array>
#include <cstdint>

// The AES constant tables, computed at compile time from their definitions
// in GF(2^8) with the polynomial x^8 + x^4 + x^3 + x + 1.
namespace qozel::aes {

using Table = std::array<std::uint8_t, 256>;

constexpr std::uint8_t XTime(std::uint8_t a) noexcept
{
    return static_cast<std::uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0x00));
}

constexpr std::uint8_t GfMul(std::uint8_t a, std::uint8_t b) noexcept
{
    std::uint8_t product = 0;
    while (b != 0) {
        if (b & 1)
            product ^= a;
        a = XTime(a);
        b >>= 1;
    }
    return product;
}

constexpr Table MulTable(std::uint8_t factor) noexcept
{
    Table t{};
    for (int i = 0; i < 256; ++i)
        t[i] = GfMul(static_cast<std::uint8_t>(i), factor);
    return t;
}

constexpr Table SBoxTable() noexcept
{
    Table s{};
    for (int i = 0; i < 256; ++i) {
        // Multiplicative inverse as x^254 (0 maps to 0).
        std::uint8_t x = static_cast<std::uint8_t>(i), inv = 1;
        for (int bit = 7; bit >= 0; --bit) {
            inv = GfMul(inv, inv);
            if ((254 >> bit) & 1)
                inv = GfMul(inv, x);
        }
        auto rotl = [](std::uint8_t v, int n) { return static_cast<std::uint8_t>((v << n) | (v >> (8 - n))); };
        s[i] = static_cast<std::uint8_t>(inv ^ rotl(inv, 1) ^ rotl(inv, 2) ^ rotl(inv, 3) ^ rotl(inv, 4) ^ 0x63);
    }
    return s;
}

constexpr Table InverseOf(const Table& s) noexcept
{
    Table inv{};
    for (int i = 0; i < 256; ++i)
        inv[s[i]] = static_cast<std::uint8_t>(i);
    return inv;
}

inline constexpr Table kSBox = SBoxTable();
inline constexpr Table kInvSBox = InverseOf(kSBox);
inline constexpr Table kMul2 = MulTable(2);
inline constexpr Table kMul3 = MulTable(3);
inline constexpr Table kMul9 = MulTable(9);
inline constexpr Table kMul11 = MulTable(11);
inline constexpr Table kMul13 = MulTable(13);
inline constexpr Table kMul14 = MulTable(14);
inline constexpr std::uint8_t kRcon[10] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0x1B, 0x36};

static_assert(kSBox[0x00] == 0x63 && kSBox[0x53] == 0xED && kSBox[0xFF] == 0x16);

} // namespace qozel::aes
