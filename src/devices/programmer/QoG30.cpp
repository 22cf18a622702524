#include "devices/programmer/QoG30.h"

#include "devices/BulkKeyCommands.h"
#include "devices/firmware/BuiltInImages.h"
#include "platform/SecureMemory.h"

#include <algorithm>

namespace qozel {
namespace {

constexpr std::uint8_t kResetClass = 2;
constexpr std::uint8_t kResetNumber = 63;
constexpr std::size_t kUidSize = 8;
// What WriteCardFile reports for data it did not send.
constexpr std::uint8_t kNotSent = 0xFF;

} // namespace

const char* CardResultText(int code)
{
    switch (code) {
    case NoCard: return "Brak karty w polu programatora.";
    case NotDesfire: return "Karta innego typu (nie DesFire) w polu programatora.";
    case CardBlank: return "Karta jest pusta.";
    case CardHoldsData: return "Karta już zawiera jakieś dane.";
    case CardUidChanged: return "Niespodziewana zmiana Uid karty.";
    case PrepareFailed: return "Błąd przygotowania karty Qo ZEL.";
    case WriteFileFailed: return "Błąd przy zapisie pliku na karcie.";
    case EraseFailed: return "Błąd przy kasowaniu karty.";
    case ReadFileFailed: return "Błąd przy odczycie pliku z karty.";
    default: return "Błąd, ale brak opisu błądu.";
    }
}

const char* PrgrKeyStateText(std::uint16_t flags)
{
    if ((flags & QoG30::kKeyBits) != QoG30::kKeyBits)
        return "brak";
    return (flags & QoG30::kKeysTemporary) ? "tymczasowe" : "docelowe";
}

QoG30::QoG30(UsbHost& host, Clock& clock) : QoWUsbBulkD(host, clock, kProgrammerGuid) {}

int QoG30::ImageVersion()
{
    image = &BuiltInImage(ImageSlot::Programmer);
    return QoWUsbBulkD::ImageVersion();
}

void QoG30::Refresh()
{
    ReadState();
    // A programmer without keys has no signature; keeping the old one would
    // let a reset programmer still look matched to the Arkan.
    keySignature = HasKeys() ? ReadKeySignature() : 0;
}

void QoG30::Logout()
{
    LogoutDevice(*this);
}

std::uint32_t QoG30::ReadKeySignature()
{
    return ReadDeviceKeySignature(*this);
}

bool QoG30::QueryCard()
{
    std::array<std::uint8_t, 16> reply{};
    cardPresent = Exchange(kCmdQueryCard, {}, reply, timeouts::kLong) == reply.size();
    if (cardPresent) {
        std::copy_n(reply.begin(), kUidSize, cardStatus.uid.begin());
        cardStatus.type = static_cast<std::uint8_t>(reply[8] >> 2);
        cardStatus.appState = static_cast<std::uint8_t>(reply[8] & 3);
    }
    return cardPresent;
}

std::uint8_t QoG30::PrepareCard(PrepareMode mode)
{
    std::array<std::uint8_t, 1 + kUidSize> request{mode};
    std::copy(cardStatus.uid.begin(), cardStatus.uid.end(), request.begin() + 1);
    return ExchangeStatus(kCmdPrepareCard, request, timeouts::kLong);
}

std::uint8_t QoG30::WriteCardFile(std::uint8_t file, std::span<const std::uint8_t> data)
{
    if (data.size() > kMaxFileData)
        return kNotSent;
    // The file of a backup card is its certificate: the copy is cleared after use.
    std::array<std::uint8_t, 1 + kUidSize + kMaxFileData> buffer;
    const auto request = std::span(buffer).first(1 + kUidSize + data.size());
    const ScopedWipe wipe(request);
    request[0] = file;
    std::copy(cardStatus.uid.begin(), cardStatus.uid.end(), request.begin() + 1);
    std::copy(data.begin(), data.end(), request.begin() + 1 + kUidSize);
    return ExchangeStatus(kCmdWriteCardFile, request, timeouts::kLong);
}

bool QoG30::ReadCardFile(std::uint8_t file, std::span<std::uint8_t> data)
{
    if (data.size() > kMaxFileData)
        return false;
    std::array<std::uint8_t, kUidSize + kMaxFileData> reply{};
    const std::array<std::uint8_t, 1> request{file};
    const auto answer = std::span(reply).first(kUidSize + data.size());
    const ScopedWipe wipe(answer);
    if (ExchangeData(kCmdReadCardFile, request, answer, timeouts::kLong) != 0)
        return false;
    if (!std::equal(cardStatus.uid.begin(), cardStatus.uid.end(), answer.begin()))
        return false;
    std::copy(answer.begin() + kUidSize, answer.end(), data.begin());
    return true;
}

std::uint8_t QoG30::EraseCard()
{
    return ExchangeStatus(kCmdEraseCard, cardStatus.uid, timeouts::kKeyCommand);
}

bool QoG30::IssueResetCertificate(std::uint32_t deviceId, Certificate& certificate)
{
    std::array<std::uint8_t, 6> request{kResetClass, kResetNumber};
    PutLe32(&request[2], deviceId);
    return ExchangeData(kCmdIssueResetCertificate, request, certificate, timeouts::kKeyCommand) == 0;
}

std::uint8_t QoG30::ResetWithCertificate(std::span<const std::uint8_t, kCertificateSize> certificate)
{
    return ExchangeStatus(kCmdReset, certificate, timeouts::kKeyCommand);
}

std::uint8_t QoG30::LoadKeyCertificate(std::span<const std::uint8_t, kCertificateSize> certificate)
{
    return ExchangeStatus(kCmdLoadKeyCertificate, certificate, timeouts::kKeyCommand);
}

int QoG30::CheckCard(bool requireBlank)
{
    if (!QueryCard())
        return NoCard;
    if (cardStatus.type != kDesfire)
        return NotDesfire;
    if (requireBlank && cardStatus.appState != 0)
        return CardHoldsData;
    return -1;
}

int QoG30::CheckBlankCard()
{
    const int check = CheckCard(true);
    return check >= 0 ? check : CardOk;
}

int QoG30::ProgramCard(std::int32_t department, std::int32_t index)
{
    if (const int check = CheckCard(true); check >= 0)
        return check;
    if (PrepareCard(OrdinaryCard) != 0)
        return PrepareFailed;
    std::array<std::uint8_t, kCardDataSize> data{};
    PutLe32(&data[0], static_cast<std::uint32_t>(department));
    PutLe32(&data[4], static_cast<std::uint32_t>(index));
    return WriteCardFile(kDataFile, data) != 0 ? WriteFileFailed : CardOk;
}

int QoG30::ReadCard(std::int32_t& department, std::int32_t& index)
{
    if (const int check = CheckCard(false); check >= 0)
        return check;
    if (cardStatus.appState == 0)
        return CardBlank;
    std::array<std::uint8_t, kCardDataSize> data{};
    if (!ReadCardFile(kDataFile, data))
        return ReadFileFailed;
    department = static_cast<std::int32_t>(GetLe32(&data[0]));
    index = static_cast<std::int32_t>(GetLe32(&data[4]));
    return CardOk;
}

int QoG30::ClearCard()
{
    if (const int check = CheckCard(false); check >= 0)
        return check;
    return EraseCard() != 0 ? EraseFailed : CardOk;
}

int QoG30::WriteBackupCard(std::span<const std::uint8_t, 8> expectedUid,
                           std::span<const std::uint8_t, kBackupCertificateSize> certificate)
{
    if (!QueryCard())
        return NoCard;
    if (!std::equal(expectedUid.begin(), expectedUid.end(), cardStatus.uid.begin()))
        return CardUidChanged;
    if (cardStatus.type != kDesfire)
        return NotDesfire;
    if (cardStatus.appState != 0)
        return CardHoldsData;
    if (PrepareCard(BackupCard) != 0)
        return PrepareFailed;
    return WriteCardFile(kBackupFile, certificate) != 0 ? WriteFileFailed : CardOk;
}

} // namespace qozel
