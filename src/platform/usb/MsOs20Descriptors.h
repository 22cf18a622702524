#pragma once

#include "platform/Guid.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qozel {

// Where a device keeps its MS OS 2.0 descriptor set: the vendor request code
// and the set's total length, from the platform capability of its BOS.
struct MsOs20SetLocation {
    std::uint8_t vendorCode = 0;
    std::uint16_t totalLength = 0;
};

// The interface GUIDs a device declares for one of its interfaces.
struct InterfaceGuids {
    std::uint8_t interfaceNumber = 0;
    std::vector<Guid> guids;
};

// wIndex of the vendor request that returns the MS OS 2.0 descriptor set.
inline constexpr std::uint16_t kMsOs20DescriptorIndex = 7;

// Finds the MS OS 2.0 platform capability in a BOS descriptor (as many bytes of
// it as were received). Of several descriptor-set entries the one for the
// newest Windows version wins. Nullopt when absent or malformed.
std::optional<MsOs20SetLocation> FindMsOs20Capability(std::span<const std::uint8_t> bos);

// The "DeviceInterfaceGUIDs" / "DeviceInterfaceGUID" registry properties of a
// descriptor set, per interface. Properties outside any function subset belong
// to the whole device and are reported for `deviceInterface`. A descriptor
// whose length runs past the set (or past the bytes received) ends the walk;
// what was read before it is kept.
std::vector<InterfaceGuids> ParseMsOs20DescriptorSet(std::span<const std::uint8_t> set,
                                                     std::uint8_t deviceInterface);

} // namespace qozel
