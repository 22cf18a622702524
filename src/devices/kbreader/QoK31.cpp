#include "devices/kbreader/QoK31.h"

#include "devices/firmware/BuiltInImages.h"
#include "link/DeviceErrors.h"
#include "link/Frame.h"
#include "platform/Prompts.h"

#include <algorithm>
#include <array>

namespace qozel {

int QoK31::ImageVersion()
{
    image = &BuiltInImage(ImageSlot::KbReader);
    return QoHID::ImageVersion();
}

void QoK31::Refresh()
{
    ReadState();
    if (!HasKeys())
        return;
    std::array<std::uint8_t, 4> reply{};
    // Firmware may pad the reply; fewer than four bytes are no signature.
    if (Exchange(kCmdKeySignature, {}, reply) < reply.size())
        throw QoHIDErr{QoHIDErr::BadLength, kCmdKeySignature};
    keySignature = GetLe32(reply.data());
}

bool QoK31::WriteConfigHalf(int half, std::span<const std::uint8_t, kConfigHalfSize> bytes)
{
    std::array<std::uint8_t, 1 + kConfigHalfSize> request{};
    request[0] = static_cast<std::uint8_t>(half & 3);
    std::copy(bytes.begin(), bytes.end(), request.begin() + 1);
    return ExchangeStatus(kCmdWriteConfig, request) == 0;
}

bool QoK31::WriteConfig(const KbRdConfig& config, Prompts& prompts)
{
    const std::span<const std::uint8_t, 16> record(config);
    try {
        if (WriteConfigHalf(0, record.first<kConfigHalfSize>()) &&
            WriteConfigHalf(1, record.last<kConfigHalfSize>()))
            return true;
    } catch (const QoHIDErr&) {
        keySignature = 0;
        Close();
        prompts.ShowErrorMsg(kKbRdNoConnectionMsg);
        return false;
    }
    prompts.ShowErrorMsg(kKbRdConfigRefusedMsg);
    return false;
}

bool QoK31::LoadKeyCertificate(std::span<const std::uint8_t, kCertificateSize> certificate)
{
    return ExchangeStatus(kCmdLoadCertificate, certificate) == 0;
}

} // namespace qozel
