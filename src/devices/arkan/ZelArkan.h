#pragma once

#include "devices/arkan/MasterKeyRecord.h"
#include "link/QoWUsbBulkD.h"
#include "platform/SecureMemory.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// The Arkan's master key as its flags report it.
enum class ArkanState { None, Temporary, Target };

// "brak", "tymczasowy" or "docelowy".
const char* ArkanStateText(ArkanState state);

// The key store that keeps the installation master key and issues the
// certificates derived from it.
class ZelArkan : public QoWUsbBulkD {
public:
    static constexpr std::uint8_t kCmdStore = 75;
    static constexpr std::uint8_t kCmdIssueCertificate = 107;
    static constexpr std::uint8_t kCmdSignCertificate = 69;
    static constexpr std::uint8_t kCmdReset = 104;

    // State flags of the Arkan's DevInfo.
    static constexpr std::uint16_t kHasMasterKey = 0x0001;
    static constexpr std::uint16_t kKeyTemporary = 0x0080;
    static constexpr std::uint16_t kNoAdminPassword = 0x0100;
    static constexpr std::uint16_t kAdminLoggedIn = 0x0200;

    static constexpr std::size_t kCertificateSize = 80;
    static constexpr std::size_t kBackupCertificateSize = 112;
    // A backup card's file as a reader reads it: card UID, then the certificate.
    static constexpr std::size_t kBackupCardDataSize = 120;
    static constexpr std::size_t kUidSize = 8;

    using Certificate = std::array<std::uint8_t, kCertificateSize>;
    using BackupCertificate = std::array<std::uint8_t, kBackupCertificateSize>;

    ZelArkan(UsbHost& host, Clock& clock);

    int ImageVersion() override;

    // State query, then the key signature when a master key is held (else 0).
    void Refresh();
    // Command 108; throws WUsbErr 4 for a non-zero status.
    void Logout();
    // Command 115: the first 4 bytes of the reply; throws WUsbErr 6 for a shorter one.
    std::uint32_t ReadKeySignature();
    // Command 75 with the 52-byte record; true when stored.
    bool StoreMasterKey(const MasterKeyRecord& record);
    // Command 75 with the 120 bytes read from a backup card; true when stored.
    bool StoreBackupCertificate(std::span<const std::uint8_t, kBackupCardDataSize> cardData);
    // Command 107 (class, number, target id); `certificate` is written only when issued.
    bool IssueCertificate(std::uint8_t certClass, std::uint8_t number, std::uint32_t targetId,
                          Certificate& certificate);
    // Command 107 (3, 17, programmer id, card UID); `certificate` is written only when issued.
    bool IssueBackupCertificate(std::uint32_t programmerId, std::span<const std::uint8_t, kUidSize> cardUid,
                                BackupCertificate& certificate);
    // Command 69; `signedCertificate` is written only when signed.
    bool SignCertificate(std::span<const std::uint8_t, kCertificateSize> certificate, Certificate& signedCertificate);
    // Command 104 without payload; true when done.
    bool FactoryReset();
    // Command 104 with a reader-signed reset certificate, "admin" and the new key.
    bool ResetAdminPassword(std::span<const std::uint8_t, kCertificateSize> signedCertificate, const Key16& newKey);

    ArkanState State() const noexcept
    {
        return !HasMasterKey() ? ArkanState::None : HasTargetKey() ? ArkanState::Target : ArkanState::Temporary;
    }
    bool HasMasterKey() const noexcept { return (info.flags & kHasMasterKey) != 0; }
    bool HasTargetKey() const noexcept { return HasMasterKey() && (info.flags & kKeyTemporary) == 0; }

    std::uint32_t keySignature = 0;
};

} // namespace qozel
