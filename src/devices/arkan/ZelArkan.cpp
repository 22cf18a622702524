#include "devices/arkan/ZelArkan.h"

#include "devices/BulkKeyCommands.h"
#include "devices/firmware/BuiltInImages.h"

#include <algorithm>

namespace qozel {
namespace {

constexpr std::uint8_t kBackupClass = 3;
constexpr std::uint8_t kBackupNumber = 17;
constexpr std::size_t kUserNameSize = 12;

} // namespace

const char* ArkanStateText(ArkanState state)
{
    switch (state) {
    case ArkanState::Temporary: return "tymczasowy";
    case ArkanState::Target: return "docelowy";
    default: return "brak";
    }
}

ZelArkan::ZelArkan(UsbHost& host, Clock& clock) : QoWUsbBulkD(host, clock, kArkanGuid) {}

int ZelArkan::ImageVersion()
{
    image = &BuiltInImage(ImageSlot::Arkan);
    return QoWUsbBulkD::ImageVersion();
}

void ZelArkan::Refresh()
{
    ReadState();
    keySignature = 0;
    if (HasMasterKey())
        keySignature = ReadKeySignature();
}

void ZelArkan::Logout()
{
    LogoutDevice(*this);
}

std::uint32_t ZelArkan::ReadKeySignature()
{
    return ReadDeviceKeySignature(*this);
}

bool ZelArkan::StoreMasterKey(const MasterKeyRecord& record)
{
    return ExchangeStatus(kCmdStore, record.bytes.span(), timeouts::kKeyCommand) == 0;
}

bool ZelArkan::StoreBackupCertificate(std::span<const std::uint8_t, kBackupCardDataSize> cardData)
{
    return ExchangeStatus(kCmdStore, cardData, timeouts::kKeyCommand) == 0;
}

bool ZelArkan::IssueCertificate(std::uint8_t certClass, std::uint8_t number, std::uint32_t targetId,
                                Certificate& certificate)
{
    std::array<std::uint8_t, 6> request{certClass, number};
    PutLe32(&request[2], targetId);
    return ExchangeData(kCmdIssueCertificate, request, certificate, timeouts::kKeyCommand) == 0;
}

bool ZelArkan::IssueBackupCertificate(std::uint32_t programmerId, std::span<const std::uint8_t, kUidSize> cardUid,
                                      BackupCertificate& certificate)
{
    std::array<std::uint8_t, 6 + kUidSize> request{kBackupClass, kBackupNumber};
    PutLe32(&request[2], programmerId);
    std::copy(cardUid.begin(), cardUid.end(), request.begin() + 6);
    return ExchangeData(kCmdIssueCertificate, request, certificate, timeouts::kKeyCommand) == 0;
}

bool ZelArkan::SignCertificate(std::span<const std::uint8_t, kCertificateSize> certificate,
                               Certificate& signedCertificate)
{
    return ExchangeData(kCmdSignCertificate, certificate, signedCertificate, timeouts::kKeyCommand) == 0;
}

bool ZelArkan::FactoryReset()
{
    return ExchangeStatus(kCmdReset, {}, timeouts::kKeyCommand) == 0;
}

bool ZelArkan::ResetAdminPassword(std::span<const std::uint8_t, kCertificateSize> signedCertificate,
                                  const Key16& newKey)
{
    SecretBytes<kCertificateSize + kUserNameSize + Key16::size()> request;
    std::copy(signedCertificate.begin(), signedCertificate.end(), request.data());
    constexpr char kAdmin[] = "admin";
    std::copy_n(kAdmin, sizeof kAdmin - 1, request.data() + kCertificateSize);
    std::copy(newKey.bytes.begin(), newKey.bytes.end(), request.data() + kCertificateSize + kUserNameSize);
    return ExchangeStatus(kCmdReset, request.span(), timeouts::kKeyCommand) == 0;
}

} // namespace qozel
