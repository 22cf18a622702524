#include "platform/win/InterfacePath.h"

namespace qozel {
namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `text` begins with `prefix`, letters compared without case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i]))
            return false;
    return true;
}

// Exactly four hex digits.
std::optional<std::uint16_t> Hex4(std::string_view digits)
{
    if (digits.size() != 4)
        return std::nullopt;
    unsigned value = 0;
    for (const char c : digits) {
        unsigned d = 0;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value * 16 + d;
    }
    return static_cast<std::uint16_t>(value);
}

} // namespace

std::optional<UsbIds> UsbIdsOfInterfacePath(std::string_view path)
{
    const auto first = path.find('#');
    if (first == std::string_view::npos)
        return std::nullopt;
    const auto second = path.find('#', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    std::string_view hardwareId = path.substr(first + 1, second - first - 1);

    std::optional<std::uint16_t> vendor;
    std::optional<std::uint16_t> product;
    while (!hardwareId.empty()) {
        const auto amp = hardwareId.find('&');
        const std::string_view token = hardwareId.substr(0, amp);
        if (StartsWithNoCase(token, "vid_"))
            vendor = Hex4(token.substr(4));
        else if (StartsWithNoCase(token, "pid_"))
            product = Hex4(token.substr(4));
        hardwareId = amp == std::string_view::npos ? std::string_view{} : hardwareId.substr(amp + 1);
    }
    if (!vendor || !product)
        return std::nullopt;
    return UsbIds{*vendor, *product};
}

bool InterfacePathHasClass(std::string_view path, const Guid& interfaceClass)
{
    const auto last = path.rfind('#');
    if (last == std::string_view::npos)
        return false;
    const std::string_view tail = path.substr(last + 1);
    const std::string guid = interfaceClass.ToString();
    return tail.size() == guid.size() && StartsWithNoCase(tail, guid);
}

} // namespace qozel
