#pragma once

#include "LoginResponder.h"
#include "SimDeviceModel.h"
#include "SimUpgradeTarget.h"

#include "devices/DevInfo.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qozel::sim {

// What the Arkan and the programmer answer alike: firmware upgrades, the
// login commands, the state query, logout and the key signature. Each model
// adds its own commands and says what its state and keys are.
class AdminDeviceModel : public SimDeviceModel {
public:
    // nr, type and soft as reported; the flags follow the model's state.
    virtual DevInfo Info() const noexcept = 0;
    std::uint32_t DeviceId() const noexcept { return Info().DeviceId(); }

    // Administrator login plus the device's second user (commands 110, 76, 72).
    LoginResponder login;
    SimUpgradeTarget upgrade;
    DevInfo identity;  // flags unused; see Info()

protected:
    AdminDeviceModel(DevInfo reportedIdentity, std::string secondUser)
        : login{{std::move(secondUser)}}, identity(reportedIdentity)
    {
    }

    std::optional<Bytes> HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload) final;
    virtual std::optional<Bytes> HandleDeviceCommand(std::uint8_t code, std::span<const std::uint8_t> payload) = 0;

    // The signature of the keys held, and the status that refuses command 115
    // while there are none.
    virtual std::optional<std::uint32_t> HeldKeySignature() const noexcept = 0;
    virtual std::uint8_t NoKeysStatus() const noexcept = 0;
};

} // namespace qozel::sim
