#include "platform/usb/UsbGuidStrings.h"

#include <cstring>
#include <string>

namespace qozel {
namespace {

char16_t UnitAt(std::span<const std::uint8_t> bytes, std::size_t unit)
{
    return static_cast<char16_t>(bytes[2 * unit] | (bytes[2 * unit + 1] << 8));
}

char AsciiLower(char16_t c)
{
    return static_cast<char>(c >= u'A' && c <= u'Z' ? c - u'A' + 'a' : c);
}

} // namespace

std::vector<Guid> ParseGuidStrings(std::span<const std::uint8_t> utf16le)
{
    std::vector<Guid> guids;
    const std::size_t units = utf16le.size() / 2;
    std::string text;
    bool ascii = true;
    auto finish = [&] {
        if (ascii && !text.empty())
            if (const auto guid = Guid::Parse(text))
                guids.push_back(*guid);
        text.clear();
        ascii = true;
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t c = UnitAt(utf16le, i);
        if (c == 0) {
            finish();
            continue;
        }
        if (c > 0x7F || text.size() > 38)
            ascii = false; // cannot be a GUID; keep scanning to the next NUL
        else
            text += static_cast<char>(c);
    }
    finish();
    return guids;
}

bool Utf16NameEquals(std::span<const std::uint8_t> name, const char* expected)
{
    std::size_t units = name.size() / 2;
    if (name.size() % 2 != 0)
        return false;
    if (units > 0 && UnitAt(name, units - 1) == 0)
        --units;
    if (units != std::strlen(expected))
        return false;
    for (std::size_t i = 0; i < units; ++i)
        if (AsciiLower(UnitAt(name, i)) != AsciiLower(static_cast<char16_t>(expected[i])))
            return false;
    return true;
}

} // namespace qozel
