#pragma once

#include "LoginResponder.h"
#include "SimCrypto.h"
#include "SimDeviceModel.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace qozel::test {

// Logs `user` in on a simulated Arkan or programmer through its own login
// commands (110, then 76 with the AES-CMAC tag), as the PC would.
inline bool SimLogIn(sim::SimDeviceModel& model, std::string_view user, const sim::Block16& key)
{
    const auto challenge = model.Process(110, {});
    if (!challenge || challenge->size() != 16)
        return false;
    std::array<std::uint8_t, 28> message{};
    std::copy(user.begin(), user.end(), message.begin());
    std::copy(challenge->begin(), challenge->end(), message.begin() + 12);
    const sim::Block16 tag = sim::AesCmac(key, message);
    std::copy(tag.begin(), tag.end(), message.begin() + 12);
    const auto reply = model.Process(76, message);
    return reply && reply->size() == 4;
}

// Logs the administrator in with the key the model holds for him.
template <typename Model>
bool LogInAdmin(Model& model)
{
    const auto key = model.login.KeyOf("admin");
    return key && SimLogIn(model, "admin", *key);
}

inline constexpr sim::Block16 kAdminKey = {0xAD, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                           0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};

} // namespace qozel::test
