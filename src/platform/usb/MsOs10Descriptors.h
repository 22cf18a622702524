#pragma once

#include "platform/Guid.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qozel {

// String descriptor index of the MS OS 1.0 signature and the wIndex of the
// extended-properties vendor request.
inline constexpr std::uint8_t kMsOsStringIndex = 0xEE;
inline constexpr std::uint16_t kMsOs10PropertiesIndex = 5;
inline constexpr std::size_t kMsOs10PropertiesHeaderSize = 10;

// The vendor request code of an "MSFT100" OS string descriptor; nullopt for
// anything else.
std::optional<std::uint8_t> ParseMsOsStringDescriptor(std::span<const std::uint8_t> descriptor);

// Total length announced by an extended-properties header, nullopt when the
// bytes are no such header.
std::optional<std::uint32_t> MsOs10PropertiesLength(std::span<const std::uint8_t> header);

// The GUIDs of the "DeviceInterfaceGUIDs" / "DeviceInterfaceGUID" sections of
// an extended-properties descriptor. A section whose size runs past the
// descriptor (or past the bytes received) ends the walk.
std::vector<Guid> ParseMsOs10ExtendedProperties(std::span<const std::uint8_t> descriptor);

} // namespace qozel
