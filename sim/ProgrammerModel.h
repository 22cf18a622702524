#pragma once

#include "AdminDeviceModel.h"
#include "SimCard.h"

#include "devices/DevInfo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace qozel::sim {

// The card programmer G30 as its firmware behaves towards the PC: three key
// certificates sealed for its own id make its keys, cards placed in its field
// are programmed, read and erased with them, and it resets itself only with
// its own reset certificate (countersigned by the Arkan while it holds target
// keys).
class ProgrammerModel final : public AdminDeviceModel {
public:
    static constexpr std::uint16_t kDefaultType = 0x00AA;

    // Refusal statuses (any non-zero status is a refusal to the PC).
    enum Code : std::uint8_t {
        Ok = 0,
        NoCard = 1,
        NotLoggedIn = 2,
        NoKeys = 3,
        TargetKeysHeld = 4,
        BadCertificate = 5,
        CardChanged = 6,   // the UID sent is not the card's in the field
        CardRefused = 7,   // wrong type, state, file or key for this card
        BadRequest = 8,
    };

    explicit ProgrammerModel(std::uint16_t nr = 0x0233, std::uint16_t type = kDefaultType, std::uint16_t soft = 4);

    DevInfo Info() const noexcept override;

    // The card in the field.
    void PlaceCard(const SimCard& card) { card_ = card; }
    std::optional<SimCard> TakeCard();
    const std::optional<SimCard>& card() const noexcept { return card_; }

    // Keys: bit k of keyBits() is set once certificate 18 + k is loaded.
    std::uint8_t keyBits() const noexcept;
    bool keysTemporary() const noexcept { return keysTemporary_; }
    std::uint32_t keySignature() const noexcept { return keySignature_; }
    // Starts the programmer with the three keys the Arkan would derive from `masterKey`.
    void PreloadKeys(std::span<const std::uint8_t, 32> masterKey, std::uint32_t signature, bool temporary);


protected:
    std::optional<Bytes> HandleDeviceCommand(std::uint8_t code, std::span<const std::uint8_t> payload) override;
    std::optional<std::uint32_t> HeldKeySignature() const noexcept override;
    std::uint8_t NoKeysStatus() const noexcept override;

private:
    using Key = std::array<std::uint8_t, 16>;

    Bytes QueryCard() const;
    Bytes PrepareCard(std::span<const std::uint8_t> request);
    Bytes WriteFile(std::span<const std::uint8_t> request);
    Bytes ReadFile(std::span<const std::uint8_t> request) const;
    Bytes Erase(std::span<const std::uint8_t> request);
    Bytes LoadCertificate(std::span<const std::uint8_t> certificate);
    Bytes IssueResetCertificate(std::span<const std::uint8_t> request) const;
    Bytes Reset(std::span<const std::uint8_t> certificate);

    bool HasKeys() const noexcept { return keyBits() == 7; }
    bool HasTargetKeys() const noexcept { return HasKeys() && !keysTemporary_; }
    // The card in the field when `uid` is its UID.
    SimCard* CardWithUid(std::span<const std::uint8_t> uid);
    // Status of the checks every card-changing command makes first.
    std::optional<std::uint8_t> RefuseCardChange(std::span<const std::uint8_t> uid);

    std::optional<SimCard> card_;
    std::array<std::optional<Key>, 3> keys_{};
    bool keysTemporary_ = false;
    std::uint32_t keySignature_ = 0;
};

} // namespace qozel::sim
