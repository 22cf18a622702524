#pragma once

#include "link/QoWUsbBulkD.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// The card in the programmer's field as the last QueryCard reported it.
struct CardStatus {
    std::array<std::uint8_t, 8> uid{};
    std::uint8_t type = 0;       // 0-63, 4 = DESFire
    std::uint8_t appState = 0;   // 0-3, 0 = no data of the system on the card
};

// Result codes of the card operations; CardResultText gives their messages.
enum CardResult : int {
    CardOk = 0,
    NoCard = 1,
    NotDesfire = 2,
    CardBlank = 3,
    CardHoldsData = 4,
    CardUidChanged = 5,
    PrepareFailed = 6,
    WriteFileFailed = 7,
    EraseFailed = 8,
    ReadFileFailed = 9,
};

const char* CardResultText(int code);

// The programmer's keys for display: "tymczasowe", "docelowe" or "brak".
const char* PrgrKeyStateText(std::uint16_t flags);

// The card programmer G30: loads key certificates, programs, reads and
// erases the installation's DESFire cards.
class QoG30 : public QoWUsbBulkD {
public:
    static constexpr std::uint8_t kCmdLoadKeyCertificate = 75;
    static constexpr std::uint8_t kCmdWriteCardFile = 80;
    static constexpr std::uint8_t kCmdQueryCard = 82;
    static constexpr std::uint8_t kCmdEraseCard = 67;
    static constexpr std::uint8_t kCmdReset = 104;
    static constexpr std::uint8_t kCmdIssueResetCertificate = 107;
    static constexpr std::uint8_t kCmdPrepareCard = 112;
    static constexpr std::uint8_t kCmdReadCardFile = 114;

    // State flags of the programmer's DevInfo.
    static constexpr std::uint16_t kKeyBits = 0x0007;
    static constexpr std::uint16_t kKeysTemporary = 0x0080;
    static constexpr std::uint16_t kNoAdminPassword = 0x0100;
    static constexpr std::uint16_t kAdminLoggedIn = 0x0200;

    static constexpr std::size_t kCertificateSize = 80;
    static constexpr std::size_t kBackupCertificateSize = 112;
    static constexpr std::size_t kCardDataSize = 16;
    static constexpr std::size_t kMaxFileData = 244;
    static constexpr std::uint8_t kDesfire = 4;
    static constexpr std::uint8_t kDataFile = 1;
    static constexpr std::uint8_t kBackupFile = 7;
    enum PrepareMode : std::uint8_t { OrdinaryCard = 1, BackupCard = 2 };

    using Certificate = std::array<std::uint8_t, kCertificateSize>;
    using Uid = std::array<std::uint8_t, 8>;

    QoG30(UsbHost& host, Clock& clock);

    int ImageVersion() override;

    // State query, then the key signature when all three keys are held (else 0).
    void Refresh();
    // Command 108; throws WUsbErr 4 for a non-zero status.
    void Logout();
    // Command 115: the first 4 bytes of the reply; throws WUsbErr 6 for a shorter one.
    std::uint32_t ReadKeySignature();

    // Card commands. The UID sent is the one of the last QueryCard.
    // Command 82: true when a card answered; only then is cardStatus replaced.
    bool QueryCard();
    std::uint8_t PrepareCard(PrepareMode mode);
    // A non-zero status; more than kMaxFileData bytes are not sent (non-zero).
    std::uint8_t WriteCardFile(std::uint8_t file, std::span<const std::uint8_t> data);
    // True when the file came back for the card of the last QueryCard;
    // `data` (at most kMaxFileData bytes) is written only then.
    bool ReadCardFile(std::uint8_t file, std::span<std::uint8_t> data);
    std::uint8_t EraseCard();

    // Command 107 (2, 63, device id); `certificate` is written only when issued.
    bool IssueResetCertificate(std::uint32_t deviceId, Certificate& certificate);
    // Command 104 with a reset certificate; the status (0 = reset done).
    std::uint8_t ResetWithCertificate(std::span<const std::uint8_t, kCertificateSize> certificate);
    // Command 75 with one key certificate from the Arkan; the status (0 = loaded).
    std::uint8_t LoadKeyCertificate(std::span<const std::uint8_t, kCertificateSize> certificate);

    // Card operations: a CardResult, 0 on success. Each starts with QueryCard.
    int CheckBlankCard();
    int ProgramCard(std::int32_t department, std::int32_t index);
    int ReadCard(std::int32_t& department, std::int32_t& index);
    int ClearCard();
    int WriteBackupCard(std::span<const std::uint8_t, 8> expectedUid,
                        std::span<const std::uint8_t, kBackupCertificateSize> certificate);

    bool HasKeys() const noexcept { return (info.flags & kKeyBits) == kKeyBits; }
    bool HasTargetKeys() const noexcept { return HasKeys() && (info.flags & kKeysTemporary) == 0; }

    CardStatus cardStatus;
    bool cardPresent = false;
    std::uint32_t keySignature = 0;

private:
    // The checks every card operation starts with, in their order; -1 when all pass.
    int CheckCard(bool requireBlank);
};

} // namespace qozel
