#pragma once

#include "devices/kbreader/KbRdConfig.h"
#include "link/QoHID.h"

#include <cstdint>
#include <span>

namespace qozel {

class Prompts;

inline constexpr const char* kKbRdNoConnectionMsg = "Brak połączenia z czytnikiem klawiaturowym K31.";
inline constexpr const char* kKbRdConfigRefusedMsg = "K31 nie przyjmuje konfiguracji.";

// The keyboard reader K31: state, key signature, output configuration and key
// certificates over the HID channel.
class QoK31 : public QoHID {
public:
    static constexpr std::uint8_t kCmdKeySignature = 115;
    static constexpr std::uint8_t kCmdWriteConfig = 67;
    static constexpr std::uint8_t kCmdLoadCertificate = 75;
    static constexpr std::size_t kCertificateSize = 80;
    static constexpr std::size_t kConfigHalfSize = 8;

    // Flags: bits 0 and 1 both set = keys loaded; with them, bit 7 = temporary keys.
    static constexpr std::uint16_t kKeysLoaded = 0x0003;
    static constexpr std::uint16_t kKeysTemporary = 0x0080;

    explicit QoK31(HidHost& host, std::uint16_t productId = KbRdProductId) : QoHID(host, productId) {}

    // Attaches the keyboard reader's image slot, then the base checks.
    int ImageVersion() override;

    // ReadState, then the key signature when the flags show keys; otherwise
    // keySignature keeps its value. The signature is the first 4 bytes of its
    // reply. Throws QoHIDErr (4 for a signature reply shorter than that, which
    // leaves keySignature as it was).
    void Refresh();
    // Command 67 with the half index (masked with 3) and 8 bytes; true when accepted.
    bool WriteConfigHalf(int half, std::span<const std::uint8_t, kConfigHalfSize> bytes);
    // Both halves, the second only after the first was accepted. Reports a
    // refusal or a lost device itself; a lost device is closed.
    bool WriteConfig(const KbRdConfig& config, Prompts& prompts);
    // Command 75 with one key certificate as issued by the Arkan; true when accepted.
    bool LoadKeyCertificate(std::span<const std::uint8_t, kCertificateSize> certificate);

    bool HasKeys() const noexcept { return (info.flags & kKeysLoaded) == kKeysLoaded; }
    bool HasTemporaryKeys() const noexcept { return HasKeys() && (info.flags & kKeysTemporary) != 0; }

    std::uint32_t keySignature = 0;
};

} // namespace qozel
