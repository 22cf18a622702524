#pragma once

#include "SimFrame.h"
#include "SimUpgradeTarget.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string_view>

namespace qozel::sim {

// One reader on the simulated OSDP bus: its identity, address, rate,
// configuration, supply, keys, reading mode and firmware upgrade state. It
// answers the commands the Manager relays to it and forms its own events.
class SimReader {
public:
    // Status bytes of its answers.
    static constexpr std::uint8_t kAccepted = 0;
    static constexpr std::uint8_t kRefused = 1;
    static constexpr std::uint8_t kBadRequest = 2;

    // Key state bits (high byte of the list entry's flags).
    static constexpr std::uint8_t kKey21 = 0x01;
    static constexpr std::uint8_t kKey22 = 0x02;

    SimReader(std::uint16_t nr, std::uint16_t type, std::uint16_t soft);

    std::uint16_t nr;
    std::uint16_t type;
    std::uint16_t soft;
    std::uint8_t address = 0;
    std::uint32_t options = 0x18;      // both tamper inputs
    std::uint16_t baud100 = 96;
    std::array<std::uint8_t, 3> config{};
    bool connected = true;             // wired and powered
    std::uint16_t supplyU = 1230;
    std::uint8_t supplyUpp = 120;
    std::uint8_t supplyMaxUpp = 130;

    // Keys loaded from certificates 21 and 22 of one master key.
    std::uint8_t keyBits = 0;
    std::uint32_t keySignature = 0;
    bool HoldsKeys() const noexcept { return keyBits == (kKey21 | kKey22); }

    std::uint8_t readingMode = 1;
    std::uint32_t readingValue = 0;
    int identifyCount = 0;

    // A QO-L74 module: its configuration and the identity records of its two readers.
    std::array<std::uint8_t, 8> moduleConfig{};
    std::array<std::array<std::uint8_t, 8>, 2> attached{};
    bool IsModule() const noexcept { return (type & 0x73FF) == 774; }

    // Takes relayed command 117: a test image of its type, only in order.
    SimUpgradeTarget upgrade;

    // Fault injection: these commands are answered with these bytes instead
    // (a refusal, a status where data is due, a wrong length).
    std::map<std::uint8_t, Bytes> forcedAnswers;

    std::uint32_t id() const noexcept { return nr | (static_cast<std::uint32_t>(type) << 16); }

    // The reply payload (without the id) to a relayed command.
    Bytes Handle(std::uint8_t code, std::span<const std::uint8_t> payload);

    // Event bytes (kind first) for what happens at the reader, or nothing
    // when the reader would not report it.
    std::optional<Bytes> CardEvent(std::span<const std::uint8_t, 8> uid,
                                   std::optional<std::pair<std::int32_t, std::int32_t>> qozelData) const;
    std::optional<Bytes> RoReEvent(std::span<const std::uint8_t, 8> phoneId) const;
    Bytes PinEvent(std::string_view pin) const;
    Bytes InputStatusEvent(std::uint8_t tamperBits, std::uint8_t powerBits) const;
    // A backup card: its UID and its 112-byte certificate file.
    std::optional<Bytes> BackupCardEvent(std::span<const std::uint8_t, 8> uid,
                                         std::span<const std::uint8_t> certificate) const;

private:
    Bytes WriteConfig(std::span<const std::uint8_t> payload);
    Bytes LoadKeyCertificate(std::span<const std::uint8_t> payload);
    Bytes SignResetCertificate(std::span<const std::uint8_t> payload) const;
    Bytes ModuleData(std::span<const std::uint8_t> payload) const;
    Bytes Upgrade(std::span<const std::uint8_t> payload);
};

} // namespace qozel::sim
