#include "KbReaderModel.h"

#include "SimCertificate.h"

#include <algorithm>

namespace qozel::sim {
namespace {

constexpr std::uint8_t kCmdReadState = 77;
constexpr std::uint8_t kCmdKeySignature = 115;
constexpr std::uint8_t kCmdWriteConfig = 67;
constexpr std::uint8_t kCmdLoadCertificate = 75;
constexpr std::size_t kCertificateSize = 80;
constexpr std::uint8_t kKeyClass = 1;
constexpr std::uint8_t kFirstKey = 21;

} // namespace

KbReaderModel::KbReaderModel(std::uint16_t nr, std::uint16_t type, std::uint16_t soft)
    : identity{nr, type, soft, 0}
{
}

DevInfo KbReaderModel::Info() const noexcept
{
    DevInfo info = identity;
    info.flags = keysLoaded_ ? static_cast<std::uint16_t>(0x0003 | (keysTemporary_ ? 0x0080 : 0)) : 0;
    return info;
}

void KbReaderModel::PreloadKeys(std::uint32_t signature, bool temporary)
{
    keysLoaded_ = true;
    keySignature_ = signature;
    keysTemporary_ = temporary;
}

std::optional<Bytes> KbReaderModel::HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    if (auto reply = upgrade.HandleUsb(code, payload, identity))
        return reply;
    switch (code) {
    case kCmdReadState: {
        Bytes reply(DevInfo::kSize);
        Info().ToBytes(std::span<std::uint8_t, DevInfo::kSize>(reply));
        return reply;
    }
    case kCmdKeySignature:
        if (!keysLoaded_)
            return Status(kRefused);
        return Bytes{static_cast<std::uint8_t>(keySignature_), static_cast<std::uint8_t>(keySignature_ >> 8),
                     static_cast<std::uint8_t>(keySignature_ >> 16), static_cast<std::uint8_t>(keySignature_ >> 24)};
    case kCmdWriteConfig: {
        if (payload.size() != 9 || payload[0] > 1)
            return Status(kRefused);
        std::copy(payload.begin() + 1, payload.end(), config.begin() + payload[0] * 8);
        ++configWrites;
        return Status(0);
    }
    case kCmdLoadCertificate:
        return LoadCertificate(payload);
    default:
        return std::nullopt;  // unknown commands go unanswered
    }
}

Bytes KbReaderModel::LoadCertificate(std::span<const std::uint8_t> certificate)
{
    const auto content = OpenCertificateFor(certificate, DeviceId(), kCertificateSize);
    if (!content || content->certClass != kKeyClass || (content->number != kFirstKey && content->number != kFirstKey + 1))
        return Status(kRefused);
    pending_[content->number - kFirstKey] = {true, content->keySignature, content->temporary};
    const Pending& a = pending_[0];
    const Pending& b = pending_[1];
    if (a.present && b.present && a.signature == b.signature && a.temporary == b.temporary) {
        PreloadKeys(a.signature, a.temporary);
        pending_ = {};
    }
    return Status(0);
}

} // namespace qozel::sim
