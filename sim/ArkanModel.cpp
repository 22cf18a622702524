#include "ArkanModel.h"

#include "SimCertificate.h"
#include "SimCrc32.h"

#include <algorithm>

namespace qozel::sim {
namespace {

constexpr std::size_t kRecordSize = 52;
constexpr std::size_t kCertificateSize = 80;
constexpr std::size_t kBackupSize = 112;
constexpr std::size_t kUidSize = 8;

bool IsKeyCertificate(std::uint8_t certClass, std::uint8_t number)
{
    return (certClass == 0 && number >= 18 && number <= 20) || (certClass == 1 && (number == 21 || number == 22));
}

} // namespace

ArkanModel::ArkanModel(std::uint16_t nr, std::uint16_t type, std::uint16_t soft)
    : AdminDeviceModel(DevInfo{nr, type, soft, 0}, "installer")
{
}

DevInfo ArkanModel::Info() const noexcept
{
    DevInfo info = identity;
    info.flags = static_cast<std::uint16_t>((masterKey_ ? 0x0001 : 0) | (masterKey_ && masterKey_->temporary ? 0x0080 : 0) |
                                            login.StateFlags());
    return info;
}

std::optional<std::uint32_t> ArkanModel::HeldKeySignature() const noexcept
{
    if (!masterKey_)
        return std::nullopt;
    return masterKey_->signature;
}

std::uint8_t ArkanModel::NoKeysStatus() const noexcept
{
    return NoMasterKey;
}

std::optional<Bytes> ArkanModel::HandleDeviceCommand(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    switch (code) {
    case 75: return Store(payload);
    case 107: return payload.size() == 6 + kUidSize ? IssueBackup(payload) : Issue(payload);
    case 69: return Sign(payload);
    case 104: return payload.empty() ? Reset(payload) : ResetAdminPassword(payload);
    default: return std::nullopt;
    }
}

Bytes ArkanModel::Store(std::span<const std::uint8_t> payload)
{
    if (!login.adminLoggedIn())
        return Status(NotLoggedIn);
    if (payload.size() == kRecordSize)
        return StoreRecord(payload);
    if (payload.size() == kUidSize + kBackupSize)
        return StoreBackup(payload);
    return Status(BadRequest);
}

Bytes ArkanModel::StoreRecord(std::span<const std::uint8_t> r)
{
    const bool wellFormed = r[0] == 1 && (r[1] == 0x00 || r[1] == 0x80) && r[2] == 1 && r[3] == 0 &&
                            Mpeg2Crc32(r.first(48)) == Le32(&r[48]);
    if (!wellFormed)
        return Status(BadRecord);
    if (HasTargetKey())
        return Status(TargetKeyHeld);
    MasterKey key;
    key.temporary = r[1] == 0x80;
    std::copy_n(r.begin() + 4, key.symbol.size(), key.symbol.begin());
    key.signature = Le32(&r[12]);
    std::copy_n(r.begin() + 16, key.key.size(), key.key.begin());
    masterKey_ = key;
    return Status(Ok);
}

Bytes ArkanModel::StoreBackup(std::span<const std::uint8_t> cardData)
{
    const auto content = OpenCertificate(cardData.subspan(kUidSize));
    if (!content || content->certClass != 3 || content->number != 17 || content->temporary ||
        !std::equal(content->cardUid.begin(), content->cardUid.end(), cardData.begin()))
        return Status(BadCertificate);
    if (HasTargetKey())
        return Status(TargetKeyHeld);
    masterKey_ = MasterKey{false, content->symbol, content->keySignature, content->key};
    return Status(Ok);
}

Bytes ArkanModel::Issue(std::span<const std::uint8_t> request)
{
    if (!login.adminLoggedIn())
        return Status(NotLoggedIn);
    if (request.size() != 6)
        return Status(BadRequest);
    const std::uint8_t certClass = request[0], number = request[1];
    const bool passwordReset = certClass == 1 && number == 79;
    if (!IsKeyCertificate(certClass, number) && !passwordReset)
        return Status(BadRequest);
    if (!masterKey_)
        return Status(NoMasterKey);
    CertificateContent c;
    c.certClass = certClass;
    c.number = number;
    c.targetId = Le32(&request[2]);
    c.issuerId = DeviceId();
    c.keySignature = masterKey_->signature;
    c.temporary = masterKey_->temporary;
    if (!passwordReset) {
        const auto derived = DeriveCertificateKey(masterKey_->key, certClass, number);
        std::copy(derived.begin(), derived.end(), c.key.begin());
    }
    return SealCertificate(c, kCertificateSize);
}

Bytes ArkanModel::IssueBackup(std::span<const std::uint8_t> request)
{
    if (!login.adminLoggedIn())
        return Status(NotLoggedIn);
    if (request[0] != 3 || request[1] != 17)
        return Status(BadRequest);
    if (!masterKey_)
        return Status(NoMasterKey);
    if (masterKey_->temporary)
        return Status(NotTargetKey);
    CertificateContent c;
    c.certClass = 3;
    c.number = 17;
    c.targetId = Le32(&request[2]);
    c.issuerId = DeviceId();
    c.keySignature = masterKey_->signature;
    std::copy_n(request.begin() + 6, kUidSize, c.cardUid.begin());
    c.symbol = masterKey_->symbol;
    c.key = masterKey_->key;
    return SealCertificate(c, kBackupSize);
}

Bytes ArkanModel::Sign(std::span<const std::uint8_t> certificate)
{
    if (!login.adminLoggedIn())
        return Status(NotLoggedIn);
    if (!masterKey_)
        return Status(NoMasterKey);
    auto content = OpenCertificateFor(certificate, DeviceId(), kCertificateSize);
    // Only a programmer's reset certificate for the keys of this master key.
    if (!content || content->certClass != 2 || content->number != 63 || content->signedByTarget ||
        content->keySignature != masterKey_->signature)
        return Status(BadCertificate);
    content->signedByTarget = true;
    return SealCertificate(*content, kCertificateSize);
}

Bytes ArkanModel::Reset(std::span<const std::uint8_t>)
{
    if (HasTargetKey())
        return Status(TargetKeyHeld);
    masterKey_.reset();
    login.FactoryReset();
    return Status(Ok);
}

Bytes ArkanModel::ResetAdminPassword(std::span<const std::uint8_t> payload)
{
    constexpr std::size_t kNameAt = kCertificateSize, kKeyAt = kCertificateSize + 12;
    if (payload.size() != kKeyAt + 16)
        return Status(BadRequest);
    static constexpr std::array<std::uint8_t, 12> kAdmin = {'a', 'd', 'm', 'i', 'n'};
    if (!std::equal(kAdmin.begin(), kAdmin.end(), payload.begin() + kNameAt))
        return Status(BadRequest);
    if (!HasTargetKey())
        return Status(NotTargetKey);
    // A password-reset certificate of this Arkan, signed by a reader holding
    // keys of the same master key.
    const auto content = OpenCertificate(payload.first(kCertificateSize));
    if (!content || content->certClass != 1 || content->number != 79 || content->issuerId != DeviceId() ||
        !content->signedByTarget || content->keySignature != masterKey_->signature)
        return Status(BadCertificate);
    Block16 key;
    std::copy_n(payload.begin() + kKeyAt, key.size(), key.begin());
    login.SetKey("admin", key);
    login.Logout();
    return Status(Ok);
}

} // namespace qozel::sim
