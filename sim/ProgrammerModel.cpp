#include "ProgrammerModel.h"

#include "SimCertificate.h"

#include <algorithm>

namespace qozel::sim {
namespace {

constexpr std::size_t kUidSize = 8;
constexpr std::size_t kCertificateSize = 80;
constexpr std::uint8_t kDataFile = 1, kBackupFile = 7;
constexpr std::size_t kDataFileSize = 16, kBackupFileSize = 112;

} // namespace

ProgrammerModel::ProgrammerModel(std::uint16_t nr, std::uint16_t type, std::uint16_t soft)
    : AdminDeviceModel(DevInfo{nr, type, soft, 0}, "user")
{
}

DevInfo ProgrammerModel::Info() const noexcept
{
    DevInfo info = identity;
    info.flags = static_cast<std::uint16_t>(keyBits() | (keysTemporary_ && keyBits() ? 0x0080 : 0) |
                                            login.StateFlags());
    return info;
}

std::optional<SimCard> ProgrammerModel::TakeCard()
{
    auto card = std::move(card_);
    card_.reset();
    return card;
}

std::uint8_t ProgrammerModel::keyBits() const noexcept
{
    std::uint8_t bits = 0;
    for (std::size_t k = 0; k < keys_.size(); ++k)
        if (keys_[k])
            bits |= static_cast<std::uint8_t>(1u << k);
    return bits;
}

void ProgrammerModel::PreloadKeys(std::span<const std::uint8_t, 32> masterKey, std::uint32_t signature, bool temporary)
{
    for (std::uint8_t k = 0; k < 3; ++k)
        keys_[k] = DeriveCertificateKey(masterKey, 0, static_cast<std::uint8_t>(18 + k));
    keySignature_ = signature;
    keysTemporary_ = temporary;
}

std::optional<std::uint32_t> ProgrammerModel::HeldKeySignature() const noexcept
{
    if (!(HasKeys()))
        return std::nullopt;
    return keySignature_;
}

std::uint8_t ProgrammerModel::NoKeysStatus() const noexcept
{
    return NoKeys;
}

std::optional<Bytes> ProgrammerModel::HandleDeviceCommand(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    switch (code) {
    case 82: return QueryCard();
    case 112: return PrepareCard(payload);
    case 80: return WriteFile(payload);
    case 114: return ReadFile(payload);
    case 67: return Erase(payload);
    case 75: return LoadCertificate(payload);
    case 107: return IssueResetCertificate(payload);
    case 104: return Reset(payload);
    default: return std::nullopt;
    }
}

Bytes ProgrammerModel::QueryCard() const
{
    if (!card_)
        return Status(NoCard);
    Bytes reply(16, 0);
    std::copy(card_->uid.begin(), card_->uid.end(), reply.begin());
    reply[8] = static_cast<std::uint8_t>((card_->type << 2) | (card_->appState & 3));
    return reply;
}

SimCard* ProgrammerModel::CardWithUid(std::span<const std::uint8_t> uid)
{
    if (!card_ || uid.size() < kUidSize || !std::equal(card_->uid.begin(), card_->uid.end(), uid.begin()))
        return nullptr;
    return &*card_;
}

std::optional<std::uint8_t> ProgrammerModel::RefuseCardChange(std::span<const std::uint8_t> uid)
{
    if (!login.adminLoggedIn())
        return NotLoggedIn;
    if (!HasKeys())
        return NoKeys;
    if (!CardWithUid(uid))
        return card_ ? CardChanged : NoCard;
    if (card_->type != SimCard::kDesfire)
        return CardRefused;
    return std::nullopt;
}

Bytes ProgrammerModel::PrepareCard(std::span<const std::uint8_t> request)
{
    if (request.size() != 1 + kUidSize || (request[0] != 1 && request[0] != 2))
        return Status(BadRequest);
    if (const auto refusal = RefuseCardChange(request.subspan(1)))
        return Status(*refusal);
    if (card_->appState != 0)
        return Status(CardRefused);
    card_->appState = request[0];
    card_->key = keys_[0];
    card_->keyTemporary = keysTemporary_;
    card_->files.clear();
    return Status(Ok);
}

Bytes ProgrammerModel::WriteFile(std::span<const std::uint8_t> request)
{
    if (request.size() < 1 + kUidSize)
        return Status(BadRequest);
    if (const auto refusal = RefuseCardChange(request.subspan(1, kUidSize)))
        return Status(*refusal);
    const std::uint8_t file = request[0];
    const auto data = request.subspan(1 + kUidSize);
    // An ordinary card has its data file, a backup card its certificate file.
    const bool fits = (card_->appState == 1 && file == kDataFile && data.size() == kDataFileSize) ||
                      (card_->appState == 2 && file == kBackupFile && data.size() == kBackupFileSize);
    if (!fits || card_->key != keys_[0])
        return Status(CardRefused);
    card_->files[file] = Bytes(data.begin(), data.end());
    return Status(Ok);
}

Bytes ProgrammerModel::ReadFile(std::span<const std::uint8_t> request) const
{
    if (request.size() != 1)
        return Status(BadRequest);
    if (!HasKeys())
        return Status(NoKeys);
    if (!card_)
        return Status(NoCard);
    // Only the keys the card was programmed with open its files.
    const auto file = card_->files.find(request[0]);
    if (card_->appState == 0 || card_->key != keys_[0] || file == card_->files.end())
        return Status(CardRefused);
    Bytes reply(card_->uid.begin(), card_->uid.end());
    reply.insert(reply.end(), file->second.begin(), file->second.end());
    return reply;
}

Bytes ProgrammerModel::Erase(std::span<const std::uint8_t> request)
{
    if (request.size() != kUidSize)
        return Status(BadRequest);
    if (const auto refusal = RefuseCardChange(request))
        return Status(*refusal);
    // A card of temporary keys yields to any temporary keys; one of target
    // keys only to the same keys.
    const bool allowed = card_->appState == 0 || (card_->keyTemporary && keysTemporary_) || card_->key == keys_[0];
    if (!allowed)
        return Status(CardRefused);
    *card_ = SimCard::Blank(card_->uid);
    return Status(Ok);
}

Bytes ProgrammerModel::LoadCertificate(std::span<const std::uint8_t> certificate)
{
    if (!login.adminLoggedIn())
        return Status(NotLoggedIn);
    if (HasTargetKeys())
        return Status(TargetKeysHeld);
    const auto content = OpenCertificateFor(certificate, DeviceId(), kCertificateSize);
    if (!content || content->certClass != 0 || content->number < 18 || content->number > 20)
        return Status(BadCertificate);
    // A certificate of another master key starts a new set.
    if (keyBits() != 0 && (content->keySignature != keySignature_ || content->temporary != keysTemporary_))
        keys_ = {};
    keys_[content->number - 18] = Key{};
    std::copy_n(content->key.begin(), 16, keys_[content->number - 18]->begin());
    keySignature_ = content->keySignature;
    keysTemporary_ = content->temporary;
    return Status(Ok);
}

Bytes ProgrammerModel::IssueResetCertificate(std::span<const std::uint8_t> request) const
{
    if (request.size() != 6 || request[0] != 2 || request[1] != 63)
        return Status(BadRequest);
    CertificateContent c;
    c.certClass = 2;
    c.number = 63;
    c.targetId = Le32(&request[2]);
    c.issuerId = DeviceId();
    c.keySignature = HasKeys() ? keySignature_ : 0;
    c.temporary = keysTemporary_;
    return SealCertificate(c, kCertificateSize);
}

Bytes ProgrammerModel::Reset(std::span<const std::uint8_t> certificate)
{
    if (certificate.size() != kCertificateSize)
        return Status(BadRequest);
    const auto c = OpenCertificate(certificate);
    if (!c || c->certClass != 2 || c->number != 63 || c->issuerId != DeviceId())
        return Status(BadCertificate);
    // Target keys go only with the countersignature of an Arkan holding the
    // same master key; other keys with the programmer's own certificate.
    const bool accepted = HasTargetKeys()
                              ? c->signedByTarget && c->targetId != DeviceId() && c->keySignature == keySignature_
                              : c->targetId == DeviceId() || c->signedByTarget;
    if (!accepted)
        return Status(BadCertificate);
    keys_ = {};
    keysTemporary_ = false;
    keySignature_ = 0;
    login.FactoryReset();
    return Status(Ok);
}

} // namespace qozel::sim
