#pragma once

#include "link/QoWUsbBulkD.h"

#include <cstdint>

namespace qozel {

// Commands the Arkan and the programmer answer alike.
inline constexpr std::uint8_t kCmdLogout = 108;
inline constexpr std::uint8_t kCmdReadKeySignature = 115;

// Command 108: ends the administrator's login. Throws WUsbErr 4 for a
// non-zero status.
void LogoutDevice(QoWUsbBulkD& device);

// Command 115: the signature of the keys the device holds, the first 4 bytes
// of the reply; a shorter reply throws WUsbErr 6 (cmd 115).
std::uint32_t ReadDeviceKeySignature(QoWUsbBulkD& device);

} // namespace qozel
