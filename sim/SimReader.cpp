#include "SimReader.h"

#include "SimCertificate.h"

#include <algorithm>

namespace qozel::sim {
namespace {

constexpr std::uint8_t kCmdSetAddress = 65;
constexpr std::uint8_t kCmdWriteConfig = 67;
constexpr std::uint8_t kCmdSignReset = 69;
constexpr std::uint8_t kCmdKeyCertificate = 75;
constexpr std::uint8_t kCmdIdentify = 83;
constexpr std::uint8_t kCmdModuleData = 99;
constexpr std::uint8_t kCmdReadingMode = 114;
constexpr std::uint8_t kCmdUpgrade = 117;

constexpr std::size_t kKeyCertificateSize = 80;
constexpr std::uint8_t kReaderKeyClass = 1;
constexpr std::uint8_t kResetCertificateNumber = 79;
constexpr std::uint8_t kBackupReadingMode = 7;

void AppendLe32(Bytes& out, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i)));
}

} // namespace

SimReader::SimReader(std::uint16_t nr_, std::uint16_t type_, std::uint16_t soft_) : nr(nr_), type(type_), soft(soft_)
{
}

Bytes SimReader::Handle(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    if (const auto forced = forcedAnswers.find(code); forced != forcedAnswers.end())
        return forced->second;
    switch (code) {
    case kCmdSetAddress:
        if (payload.size() != 1 || payload[0] > 126)
            return {kBadRequest};
        address = payload[0];
        return {kAccepted};
    case kCmdWriteConfig:
        return WriteConfig(payload);
    case kCmdSignReset:
        return SignResetCertificate(payload);
    case kCmdKeyCertificate:
        return LoadKeyCertificate(payload);
    case kCmdIdentify:
        if (payload.size() != 1 || payload[0] != 5)
            return {kBadRequest};
        ++identifyCount;
        return {kAccepted};
    case kCmdModuleData:
        return ModuleData(payload);
    case kCmdReadingMode:
        if (payload.size() != 5)
            return {kBadRequest};
        readingMode = payload[0];
        readingValue = Le32(&payload[1]);
        return {kAccepted};
    case kCmdUpgrade:
        return Upgrade(payload);
    default:
        return {kBadRequest};
    }
}

Bytes SimReader::WriteConfig(std::span<const std::uint8_t> payload)
{
    if (payload.size() != 9)
        return {kBadRequest};
    if (payload[0] == 0) {
        std::copy_n(payload.begin() + 1, config.size(), config.begin());
        return {kAccepted};
    }
    // Only a module has a module configuration.
    if (payload[0] != 1 || !IsModule())
        return {kRefused};
    std::copy_n(payload.begin() + 1, moduleConfig.size(), moduleConfig.begin());
    return {kAccepted};
}

Bytes SimReader::LoadKeyCertificate(std::span<const std::uint8_t> payload)
{
    const auto cert = OpenCertificateFor(payload, id(), kKeyCertificateSize);
    if (!cert || cert->certClass != kReaderKeyClass || (cert->number != 21 && cert->number != 22))
        return {kRefused};
    // Keys of another master key replace the whole set.
    if (cert->keySignature != keySignature)
        keyBits = 0;
    keySignature = cert->keySignature;
    keyBits |= cert->number == 21 ? kKey21 : kKey22;
    return {kAccepted};
}

Bytes SimReader::SignResetCertificate(std::span<const std::uint8_t> payload) const
{
    auto cert = OpenCertificateFor(payload, id(), kKeyCertificateSize);
    if (!cert || cert->number != kResetCertificateNumber || !HoldsKeys() || cert->keySignature != keySignature)
        return {kRefused};
    cert->signedByTarget = true;
    return SealCertificate(*cert, kKeyCertificateSize);
}

Bytes SimReader::ModuleData(std::span<const std::uint8_t> payload) const
{
    if (!IsModule())
        return {kRefused};
    if (payload.size() != 1 || payload[0] < 1 || payload[0] > 3)
        return {kBadRequest};
    if (payload[0] == 1)
        return Bytes(moduleConfig.begin(), moduleConfig.end());
    const auto& record = attached[payload[0] - 2u];
    return Bytes(record.begin(), record.end());
}

Bytes SimReader::Upgrade(std::span<const std::uint8_t> payload)
{
    DevInfo self{nr, type, soft, 0};
    Bytes status = upgrade.HandleReader(payload, self);
    soft = self.soft;
    return status;
}

std::optional<Bytes> SimReader::CardEvent(std::span<const std::uint8_t, 8> uid,
                                          std::optional<std::pair<std::int32_t, std::int32_t>> qozelData) const
{
    if (readingMode != 1)
        return std::nullopt;
    // A QoZEL card's file opens only with the reader's keys; otherwise the UID alone.
    if (!qozelData || !HoldsKeys()) {
        Bytes event{0, 0};
        event.insert(event.end(), uid.begin(), uid.end());
        return event;
    }
    Bytes event{2, 0};
    if (config[2] & 0x01)
        event.insert(event.end(), uid.begin(), uid.end());
    if (config[2] & 0x02)
        AppendLe32(event, qozelData->first);
    if (config[2] & 0x04)
        AppendLe32(event, qozelData->second);
    return event;
}

std::optional<Bytes> SimReader::RoReEvent(std::span<const std::uint8_t, 8> phoneId) const
{
    if (!(config[1] & 0x20))
        return std::nullopt;
    Bytes event{4, 0};
    event.insert(event.end(), phoneId.begin(), phoneId.end());
    return event;
}

Bytes SimReader::PinEvent(std::string_view pin) const
{
    Bytes event{6};
    for (char c : pin.substr(0, 8))
        event.push_back(static_cast<std::uint8_t>(c));
    return event;
}

Bytes SimReader::InputStatusEvent(std::uint8_t tamperBits, std::uint8_t powerBits) const
{
    // Only the tamper inputs the reader has can be active.
    const std::uint8_t present = static_cast<std::uint8_t>(((options >> 3) & 1) | (((options >> 4) & 1) << 1));
    return {8, static_cast<std::uint8_t>(tamperBits & present), powerBits};
}

std::optional<Bytes> SimReader::BackupCardEvent(std::span<const std::uint8_t, 8> uid,
                                                std::span<const std::uint8_t> certificate) const
{
    // Read only in backup-card mode, with keys of the card's master key, and
    // only a card made by the Arkan the mode names.
    if (readingMode != kBackupReadingMode || !HoldsKeys())
        return std::nullopt;
    const auto cert = OpenCertificate(certificate);
    if (!cert || cert->issuerId != readingValue || cert->keySignature != keySignature)
        return std::nullopt;
    Bytes event{254};
    event.insert(event.end(), uid.begin(), uid.end());
    event.insert(event.end(), certificate.begin(), certificate.end());
    return event;
}

} // namespace qozel::sim
