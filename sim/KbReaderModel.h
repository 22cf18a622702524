#pragma once

#include "SimDeviceModel.h"
#include "SimUpgradeTarget.h"

#include "devices/DevInfo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace qozel::sim {

// One key a keyboard reader types: the USB HID usage ID (keyboard page, US
// layout), whether Shift is held, and the character that gives ('\r' for
// Enter, '\t' for Tab).
struct KeyStroke {
    std::uint8_t usage = 0;
    bool shift = false;
    char character = 0;

    friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

// The keyboard reader K31 as its firmware behaves towards the PC: state
// query, key signature, output configuration in two halves, key
// certificates (only those issued for its own device id) and upgrade; and
// what it types as a keyboard by its output configuration.
class KbReaderModel final : public SimDeviceModel {
public:
    static constexpr std::uint16_t kDefaultType = 0x001F;  // QO-V31
    static constexpr std::uint8_t kRefused = 1;

    explicit KbReaderModel(std::uint16_t nr = 0x0231, std::uint16_t type = kDefaultType, std::uint16_t soft = 2);

    // nr, type and soft as reported; the flags follow the keys held.
    DevInfo Info() const noexcept;
    std::uint32_t DeviceId() const noexcept { return Info().DeviceId(); }

    // The output configuration record as last written, half by half.
    std::array<std::uint8_t, 16> config{};
    int configWrites = 0;

    // Keys: loaded once both key certificates (21 and 22) of one master key
    // arrived; until then the previous keys stay in force.
    bool keysLoaded() const noexcept { return keysLoaded_; }
    bool keysTemporary() const noexcept { return keysTemporary_; }
    std::uint32_t keySignature() const noexcept { return keySignature_; }
    // Starts the reader with keys already loaded.
    void PreloadKeys(std::uint32_t signature, bool temporary);

    SimUpgradeTarget upgrade;
    DevInfo identity;  // flags unused; see Info()

    // What the reader types for a card held to it, by `config` (the layout of
    // KbRdConfig): the UID, the department and the index, each one that is
    // switched on, after the key set before it; then the end key and Enter
    // when set. Department and index only come from a QoZEL card whose file
    // the reader's keys open (`qozelData`, given by the caller). Nothing at
    // all when no field is typed.
    // Formats, the reader's own: the UID in hexadecimal is its 8 bytes as 16
    // upper-case digits, in decimal the same number (no leading zeros); the
    // department and the index are signed 32-bit numbers, in hexadecimal
    // upper-case digits of the 32-bit word without leading zeros.
    std::vector<KeyStroke> TypeCard(std::span<const std::uint8_t, 8> uid,
                                    std::optional<std::pair<std::int32_t, std::int32_t>> qozelData) const;
    // The same for a phone identifier RoRe, formatted like a UID.
    std::vector<KeyStroke> TypePhone(std::span<const std::uint8_t, 8> phoneId) const;

protected:
    std::optional<Bytes> HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload) override;

private:
    Bytes LoadCertificate(std::span<const std::uint8_t> certificate);

    struct Pending {
        bool present = false;
        std::uint32_t signature = 0;
        bool temporary = false;
    };
    std::array<Pending, 2> pending_{};  // certificates 21 and 22 not yet in force
    bool keysLoaded_ = false;
    bool keysTemporary_ = false;
    std::uint32_t keySignature_ = 0;
};

} // namespace qozel::sim
