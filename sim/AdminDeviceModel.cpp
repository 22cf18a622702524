#include "AdminDeviceModel.h"

namespace qozel::sim {
namespace {

constexpr std::uint8_t kCmdReadState = 77;
constexpr std::uint8_t kCmdLogout = 108;
constexpr std::uint8_t kCmdKeySignature = 115;

} // namespace

std::optional<Bytes> AdminDeviceModel::HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    if (auto reply = upgrade.HandleUsb(code, payload, identity))
        return reply;
    if (auto reply = login.Handle(code, payload))
        return reply;
    switch (code) {
    case kCmdReadState: {
        Bytes reply(DevInfo::kSize);
        Info().ToBytes(std::span(reply).first<DevInfo::kSize>());
        return reply;
    }
    case kCmdLogout:
        login.Logout();
        return Status(0);
    case kCmdKeySignature: {
        const auto signature = HeldKeySignature();
        if (!signature)
            return Status(NoKeysStatus());
        Bytes reply(4);
        for (int i = 0; i < 4; ++i)
            reply[i] = static_cast<std::uint8_t>(*signature >> (8 * i));
        return reply;
    }
    default:
        return HandleDeviceCommand(code, payload);
    }
}

} // namespace qozel::sim
