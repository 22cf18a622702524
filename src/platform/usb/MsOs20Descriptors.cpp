#include "platform/usb/MsOs20Descriptors.h"

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

// D8DD60DF-4589-4CC7-9CD2-659D9E648A9F in its wire (mixed-endian) byte order.
constexpr std::array<std::uint8_t, 16> kMsOs20PlatformUuid = {0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C,
                                                              0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F};

constexpr std::uint8_t kBosType = 0x0F;
constexpr std::uint8_t kDeviceCapabilityType = 0x10;
constexpr std::uint8_t kPlatformCapability = 0x05;
constexpr std::size_t kBosHeaderSize = 5;
constexpr std::size_t kPlatformHeaderSize = 20;
constexpr std::size_t kSetInfoSize = 8;

constexpr std::uint16_t kSetHeader = 0;
constexpr std::uint16_t kFunctionSubset = 2;
constexpr std::uint16_t kRegistryProperty = 4;
constexpr std::size_t kSetHeaderSize = 10;
constexpr std::size_t kSubsetHeaderSize = 8;
constexpr std::size_t kPropertyFixedSize = 10; // wLength, type, data type, name length, data length

void AddGuids(std::vector<InterfaceGuids>& out, std::uint8_t interfaceNumber, const std::vector<Guid>& guids)
{
    if (guids.empty())
        return;
    auto it = std::find_if(out.begin(), out.end(),
                           [&](const InterfaceGuids& e) { return e.interfaceNumber == interfaceNumber; });
    if (it == out.end())
        it = out.insert(out.end(), InterfaceGuids{interfaceNumber, {}});
    for (const Guid& g : guids)
        if (std::find(it->guids.begin(), it->guids.end(), g) == it->guids.end())
            it->guids.push_back(g);
}

// The GUIDs of one registry property descriptor, empty unless it is an
// interface GUID property with consistent inner lengths.
std::vector<Guid> PropertyGuids(std::span<const std::uint8_t> d)
{
    if (d.size() < kPropertyFixedSize)
        return {};
    const std::size_t nameLength = Le16(d, 6);
    if (8 + nameLength + 2 > d.size())
        return {};
    const auto name = d.subspan(8, nameLength);
    const std::size_t dataLength = Le16(d, 8 + nameLength);
    if (10 + nameLength + dataLength > d.size())
        return {};
    if (!Utf16NameEquals(name, "DeviceInterfaceGUIDs") && !Utf16NameEquals(name, "DeviceInterfaceGUID"))
        return {};
    return ParseGuidStrings(d.subspan(10 + nameLength, dataLength));
}

} // namespace

std::optional<MsOs20SetLocation> FindMsOs20Capability(std::span<const std::uint8_t> bos)
{
    if (bos.size() < kBosHeaderSize || bos[0] < kBosHeaderSize || bos[1] != kBosType)
        return std::nullopt;
    const std::size_t end = std::min<std::size_t>(Le16(bos, 2), bos.size());
    std::optional<MsOs20SetLocation> best;
    std::uint32_t bestVersion = 0;
    for (std::size_t at = bos[0]; at + 3 <= end;) {
        const std::size_t length = bos[at];
        if (length < 3 || at + length > end)
            break;
        const auto cap = bos.subspan(at, length);
        if (cap[1] == kDeviceCapabilityType && cap[2] == kPlatformCapability && length >= kPlatformHeaderSize &&
            std::equal(kMsOs20PlatformUuid.begin(), kMsOs20PlatformUuid.end(), cap.begin() + 4)) {
            for (std::size_t e = kPlatformHeaderSize; e + kSetInfoSize <= length; e += kSetInfoSize) {
                const std::uint32_t version = Le32(cap, e);
                const std::uint16_t total = Le16(cap, e + 4);
                if (total < kSetHeaderSize || (best && version <= bestVersion))
                    continue;
                best = MsOs20SetLocation{cap[e + 6], total};
                bestVersion = version;
            }
        }
        at += length;
    }
    return best;
}

std::vector<InterfaceGuids> ParseMsOs20DescriptorSet(std::span<const std::uint8_t> set,
                                                     std::uint8_t deviceInterface)
{
    std::vector<InterfaceGuids> out;
    if (set.size() < kSetHeaderSize || Le16(set, 0) != kSetHeaderSize || Le16(set, 2) != kSetHeader)
        return out;
    const std::size_t end = std::min<std::size_t>(Le16(set, 8), set.size());
    std::uint8_t function = deviceInterface;
    std::size_t functionEnd = 0; // properties before this offset belong to `function`
    for (std::size_t at = kSetHeaderSize; at + 4 <= end;) {
        const std::size_t length = Le16(set, at);
        const std::uint16_t type = Le16(set, at + 2);
        if (length < 4 || at + length > end)
            break;
        const auto d = set.subspan(at, length);
        if (at >= functionEnd)
            function = deviceInterface;
        if (type == kFunctionSubset && length >= kSubsetHeaderSize) {
            function = d[4];
            functionEnd = at + Le16(d, 6);
        } else if (type == kRegistryProperty) {
            AddGuids(out, function, PropertyGuids(d));
        }
        at += length;
    }
    return out;
}

} // namespace qozel
