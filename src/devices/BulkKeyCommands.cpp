#include "devices/BulkKeyCommands.h"

#include "link/DeviceErrors.h"

#include <array>

namespace qozel {

void LogoutDevice(QoWUsbBulkD& device)
{
    device.ExchangeOk(kCmdLogout, {}, timeouts::kShort);
}

std::uint32_t ReadDeviceKeySignature(QoWUsbBulkD& device)
{
    std::array<std::uint8_t, 4> reply{};
    // Firmware may pad the reply; what follows the signature is not looked at.
    if (device.Exchange(kCmdReadKeySignature, {}, reply, timeouts::kShort) < reply.size())
        throw WUsbErr{WUsbErr::BadLength, kCmdReadKeySignature};
    return GetLe32(reply.data());
}

} // namespace qozel
