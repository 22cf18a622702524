#include "platform/usb/MsOs10Descriptors.h"

#include "platform/usb/UsbGuidStrings.h"

#include <algorithm>
#include <array>

namespace qozel {
namespace {

std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(Le16(b, at)) | (static_cast<std::uint32_t>(Le16(b, at + 2)) << 16);
}

constexpr std::array<std::uint8_t, 14> kSignature = {'M', 0, 'S', 0, 'F', 0, 'T', 0, '1', 0, '0', 0, '0', 0};
constexpr std::size_t kOsStringSize = 18;
constexpr std::size_t kSectionFixedSize = 14; // dwSize, type, name length, data length

} // namespace

std::optional<std::uint8_t> ParseMsOsStringDescriptor(std::span<const std::uint8_t> descriptor)
{
    if (descriptor.size() < kOsStringSize || descriptor[0] < kOsStringSize || descriptor[1] != 3 ||
        !std::equal(kSignature.begin(), kSignature.end(), descriptor.begin() + 2))
        return std::nullopt;
    return descriptor[16];
}

std::optional<std::uint32_t> MsOs10PropertiesLength(std::span<const std::uint8_t> header)
{
    if (header.size() < kMsOs10PropertiesHeaderSize || Le16(header, 4) != 0x0100 ||
        Le16(header, 6) != kMsOs10PropertiesIndex)
        return std::nullopt;
    const std::uint32_t length = Le32(header, 0);
    if (length < kMsOs10PropertiesHeaderSize)
        return std::nullopt;
    return length;
}

std::vector<Guid> ParseMsOs10ExtendedProperties(std::span<const std::uint8_t> descriptor)
{
    std::vector<Guid> guids;
    const auto total = MsOs10PropertiesLength(descriptor);
    if (!total)
        return guids;
    const std::size_t end = std::min<std::size_t>(*total, descriptor.size());
    std::size_t at = kMsOs10PropertiesHeaderSize;
    for (std::size_t n = Le16(descriptor, 8); n > 0 && at + kSectionFixedSize <= end; --n) {
        const std::uint32_t size = Le32(descriptor, at);
        if (size < kSectionFixedSize || size > end - at)
            break;
        const auto s = descriptor.subspan(at, size);
        at += size;
        const std::size_t nameLength = Le16(s, 8);
        if (10 + nameLength + 4 > s.size())
            continue;
        const std::uint32_t dataLength = Le32(s, 10 + nameLength);
        if (dataLength > s.size() - (14 + nameLength))
            continue;
        const auto name = s.subspan(10, nameLength);
        if (!Utf16NameEquals(name, "DeviceInterfaceGUIDs") && !Utf16NameEquals(name, "DeviceInterfaceGUID"))
            continue;
        for (const Guid& g : ParseGuidStrings(s.subspan(14 + nameLength, dataLength)))
            if (std::find(guids.begin(), guids.end(), g) == guids.end())
                guids.push_back(g);
    }
    return guids;
}

} // namespace qozel
