#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qozel {

// A 16-byte interface class GUID, kept in its canonical text order
// ({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} read left to right).
struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    friend bool operator==(const Guid&, const Guid&) = default;

    // Parses "{3D9A61C4-52E7-4F08-9B1D-7A2C5E34F810}" (braces optional,
    // hex digits in either case); nullopt for anything else.
    static constexpr std::optional<Guid> Parse(std::string_view text);
    // Upper-case text form with braces.
    std::string ToString() const;
};

constexpr std::optional<Guid> Guid::Parse(std::string_view text)
{
    if (text.size() == 38) {
        if (text.front() != '{' || text.back() != '}')
            return std::nullopt;
        text = text.substr(1, 36);
    }
    if (text.size() != 36)
        return std::nullopt;
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    Guid g;
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-')
                return std::nullopt;
            ++i;
            continue;
        }
        const int hi = hex(text[i]);
        const int lo = hex(text[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        g.bytes[out++] = static_cast<std::uint8_t>(hi * 16 + lo);
        i += 2;
    }
    return g;
}

} // namespace qozel
