#pragma once

#include "AdminDeviceModel.h"

#include "devices/DevInfo.h"

#include <array>
#include <cstdint>
#include <optional>

namespace qozel::sim {

// The Arkan key store as its firmware behaves towards the PC: it keeps one
// master key (temporary or target), issues certificates sealed for the
// device they name, countersigns the programmer's reset certificates, and
// refuses administrative commands without the administrator's login.
class ArkanModel final : public AdminDeviceModel {
public:
    static constexpr std::uint16_t kDefaultType = 0x010E;

    // Refusal statuses (any non-zero status is a refusal to the PC).
    enum Code : std::uint8_t {
        Ok = 0,
        NotLoggedIn = 2,
        BadRecord = 3,      // malformed master key record or wrong CRC-32
        TargetKeyHeld = 4,  // a target key is never replaced nor reset
        NoMasterKey = 5,
        NotTargetKey = 6,   // only a target key is backed up
        BadCertificate = 7,
        BadRequest = 8,
    };

    struct MasterKey {
        bool temporary = false;
        std::array<std::uint8_t, 8> symbol{};
        std::uint32_t signature = 0;
        std::array<std::uint8_t, 32> key{};
    };

    explicit ArkanModel(std::uint16_t nr = 0x0117, std::uint16_t type = kDefaultType, std::uint16_t soft = 3);

    DevInfo Info() const noexcept override;

    const std::optional<MasterKey>& masterKey() const noexcept { return masterKey_; }
    void PreloadMasterKey(const MasterKey& key) { masterKey_ = key; }


protected:
    std::optional<Bytes> HandleDeviceCommand(std::uint8_t code, std::span<const std::uint8_t> payload) override;
    std::optional<std::uint32_t> HeldKeySignature() const noexcept override;
    std::uint8_t NoKeysStatus() const noexcept override;

private:
    Bytes Store(std::span<const std::uint8_t> payload);
    Bytes StoreRecord(std::span<const std::uint8_t> record);
    Bytes StoreBackup(std::span<const std::uint8_t> cardData);
    Bytes Issue(std::span<const std::uint8_t> request);
    Bytes IssueBackup(std::span<const std::uint8_t> request);
    Bytes Sign(std::span<const std::uint8_t> certificate);
    Bytes Reset(std::span<const std::uint8_t> payload);
    Bytes ResetAdminPassword(std::span<const std::uint8_t> payload);
    bool HasTargetKey() const noexcept { return masterKey_ && !masterKey_->temporary; }

    std::optional<MasterKey> masterKey_;
};

} // namespace qozel::sim
