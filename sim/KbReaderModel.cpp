#include "KbReaderModel.h"

#include "SimCertificate.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

namespace qozel::sim {
namespace {

constexpr std::uint8_t kCmdReadState = 77;
constexpr std::uint8_t kCmdKeySignature = 115;
constexpr std::uint8_t kCmdWriteConfig = 67;
constexpr std::uint8_t kCmdLoadCertificate = 75;
constexpr std::size_t kCertificateSize = 80;
constexpr std::uint8_t kKeyClass = 1;
constexpr std::uint8_t kFirstKey = 21;

// Bytes of the output configuration record (KbRdConfig).
constexpr std::size_t kRoReOn = 1, kFieldsOn = 2, kSeparators = 9, kEndKey = 13, kFormat = 15;
constexpr std::uint8_t kRoReBit = 0x20, kEnterBit = 0x80;
constexpr std::uint8_t kEnterUsage = 0x28;

// The character a key gives on a US keyboard, 0 for none.
char UsCharacter(std::uint8_t usage, bool shift)
{
    if (usage >= 0x04 && usage <= 0x1D)
        return static_cast<char>((shift ? 'A' : 'a') + (usage - 0x04));
    if (usage >= 0x1E && usage <= 0x27)
        return (shift ? "!@#$%^&*()" : "1234567890")[usage - 0x1E];
    struct Key {
        std::uint8_t usage;
        char plain, shifted;
    };
    static constexpr Key kKeys[] = {{0x28, '\r', '\r'}, {0x2B, '\t', '\t'}, {0x2C, ' ', ' '},  {0x2D, '-', '_'},
                                    {0x2E, '=', '+'},   {0x2F, '[', '{'},   {0x30, ']', '}'},  {0x31, '\\', '|'},
                                    {0x33, ';', ':'},   {0x34, '\'', '"'},  {0x35, '`', '~'},  {0x36, ',', '<'},
                                    {0x37, '.', '>'},   {0x38, '/', '?'}};
    for (const Key& key : kKeys)
        if (key.usage == usage)
            return shift ? key.shifted : key.plain;
    return 0;
}

KeyStroke Stroke(std::uint8_t usage, bool shift)
{
    return {usage, shift, UsCharacter(usage, shift)};
}

// A configured key code: the usage in bits 0 to 6, Shift in bit 7.
KeyStroke ConfiguredKey(std::uint8_t code)
{
    return Stroke(code & 0x7F, (code & 0x80) != 0);
}

// A digit, an upper-case hexadecimal letter or the minus sign.
KeyStroke CharacterKey(char c)
{
    if (c >= '1' && c <= '9')
        return Stroke(static_cast<std::uint8_t>(0x1E + (c - '1')), false);
    if (c == '0')
        return Stroke(0x27, false);
    if (c >= 'A' && c <= 'Z')
        return Stroke(static_cast<std::uint8_t>(0x04 + (c - 'A')), true);
    return Stroke(0x2D, false);
}

std::string IdText(std::span<const std::uint8_t, 8> id, bool hex)
{
    std::string text;
    std::uint64_t value = 0;
    for (std::uint8_t b : id) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(b));
        text += digits;
        value = value << 8 | b;
    }
    return hex ? text : std::to_string(value);
}

std::string NumberText(std::int32_t value, bool hex)
{
    if (!hex)
        return std::to_string(value);
    char digits[9];
    std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(value)));
    return digits;
}

// One field: the key set before it, then its characters.
void TypeField(std::vector<KeyStroke>& keys, std::uint8_t separator, std::string_view text)
{
    if (separator != 0)
        keys.push_back(ConfiguredKey(separator));
    for (char c : text)
        keys.push_back(CharacterKey(c));
}

// After the fields: the end key and Enter, when anything was typed.
void TypeEnd(std::vector<KeyStroke>& keys, const std::array<std::uint8_t, 16>& config)
{
    if (keys.empty())
        return;
    if (config[kEndKey] != 0)
        keys.push_back(ConfiguredKey(config[kEndKey]));
    if (config[kFormat] & kEnterBit)
        keys.push_back(Stroke(kEnterUsage, false));
}

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

std::vector<KeyStroke> KbReaderModel::TypeCard(std::span<const std::uint8_t, 8> uid,
                                               std::optional<std::pair<std::int32_t, std::int32_t>> qozelData) const
{
    // Field k of the record, k = 1 UID, 2 department, 3 index (0 is the RoRe):
    // switched on by bit k - 1 of byte 2, in hexadecimal by bit k + 1 of byte
    // 15, after the key in byte 9 + k.
    auto on = [&](unsigned k) { return (config[kFieldsOn] & (1u << (k - 1))) != 0; };
    auto hex = [&](unsigned k) { return (config[kFormat] & (1u << (k + 1))) != 0; };
    auto separator = [&](unsigned k) { return config[kSeparators + k]; };
    std::vector<KeyStroke> keys;
    if (on(1))
        TypeField(keys, separator(1), IdText(uid, hex(1)));
    if (qozelData && on(2))
        TypeField(keys, separator(2), NumberText(qozelData->first, hex(2)));
    if (qozelData && on(3))
        TypeField(keys, separator(3), NumberText(qozelData->second, hex(3)));
    TypeEnd(keys, config);
    return keys;
}

std::vector<KeyStroke> KbReaderModel::TypePhone(std::span<const std::uint8_t, 8> phoneId) const
{
    std::vector<KeyStroke> keys;
    if (config[kRoReOn] & kRoReBit)
        TypeField(keys, config[kSeparators], IdText(phoneId, (config[kFormat] & 0x02) != 0));
    TypeEnd(keys, config);
    return keys;
}

} // namespace qozel::sim
