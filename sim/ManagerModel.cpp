#include "ManagerModel.h"

#include <algorithm>
#include <stdexcept>

namespace qozel::sim {
namespace {

constexpr std::uint8_t kCmdReadState = 77;
constexpr std::uint8_t kCmdReaderList = 78;
constexpr std::uint8_t kCmdSetBusRate = 98;
constexpr std::uint8_t kCmdEvent = 101;
constexpr std::uint8_t kCmdReadingMode = 114;
constexpr std::uint8_t kCmdSetKeySignature = 115;
constexpr std::uint8_t kCmdSetTime = 116;
constexpr std::uint8_t kRelayedCommands[] = {65, 67, 69, 75, 83, 99, 114, 117};

constexpr std::uint8_t kAccepted = 0;
constexpr std::uint8_t kRefused = 1;
constexpr std::uint8_t kBadRequest = 2;
constexpr std::size_t kEntrySize = 22;
// Rates the bus supports, / 100.
constexpr std::uint16_t kRates[] = {96, 192, 384, 576, 1152};
// Key state bit: the reader's keys have the signature last given to the Manager.
constexpr std::uint8_t kKeyMatchesSignature = 0x04;

void Put16(Bytes& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& out, std::uint32_t v)
{
    Put16(out, static_cast<std::uint16_t>(v));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

} // namespace

SimReader& ManagerModel::AddReader(std::uint16_t readerNr, std::uint16_t type, std::uint16_t readerSoft)
{
    if (bus.size() >= kMaxReaders)
        throw std::length_error("the bus takes at most 32 readers");
    bus.push_back(std::make_shared<SimReader>(readerNr, type, readerSoft));
    bus.back()->baud100 = baud100;
    return *bus.back();
}

SimReader& ManagerModel::AddModule(std::uint16_t moduleNr, std::uint16_t reader1Type, std::uint16_t reader2Type)
{
    SimReader& module = AddReader(moduleNr, 774, 2);
    const std::uint16_t types[] = {reader1Type, reader2Type};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::uint16_t attachedNr = static_cast<std::uint16_t>(moduleNr * 10 + i + 1);
        module.attached[i] = {static_cast<std::uint8_t>(attachedNr), static_cast<std::uint8_t>(attachedNr >> 8),
                              static_cast<std::uint8_t>(types[i]), static_cast<std::uint8_t>(types[i] >> 8),
                              1, 0, 0, 0};
    }
    // Both attached readers work with inputs and outputs, 8 s of activity.
    module.moduleConfig = {0x10, 0x05, 0, 0, 0, 0, 0, 0};
    return module;
}

std::optional<Bytes> ManagerModel::HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    if (auto reply = Upgrade(code, payload))
        return reply;
    switch (code) {
    case kCmdReadState: {
        Bytes state;
        Put16(state, nr);
        Put16(state, kType);
        Put16(state, soft);
        Put16(state, baud100);
        return state;
    }
    case kCmdReaderList:
        return ReaderList();
    case kCmdSetBusRate: {
        if (payload.size() != 2)
            return Status(kBadRequest);
        const std::uint16_t rate = static_cast<std::uint16_t>(payload[0] | (payload[1] << 8));
        if (std::find(std::begin(kRates), std::end(kRates), rate) == std::end(kRates))
            return Status(kRefused);
        baud100 = rate;
        return Status(kAccepted);
    }
    case kCmdSetKeySignature:
        if (payload.size() != 4)
            return Status(kBadRequest);
        keySignature = Le32(payload.data());
        return Status(kAccepted);
    case kCmdSetTime:
        if (payload.size() != 4)
            return Status(kBadRequest);
        clock = Le32(payload.data());
        return Status(kAccepted);
    default:
        if (std::find(std::begin(kRelayedCommands), std::end(kRelayedCommands), code) != std::end(kRelayedCommands))
            return Relay(code, payload);
        return Status(kBadRequest);
    }
}

std::optional<Bytes> ManagerModel::Upgrade(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    DevInfo self{nr, kType, soft, baud100};
    auto reply = upgrade.HandleUsb(code, payload, self);
    soft = self.soft;
    return reply;
}

Bytes ManagerModel::ReaderList() const
{
    Bytes list;
    for (std::size_t i = 0; i < bus.size(); ++i) {
        if (listEndsAt && *listEndsAt == i)
            break;
        const SimReader& r = *bus[i];
        const bool online = IsOnline(r);
        std::uint8_t keyState = r.keyBits;
        if (r.keyBits && keySignature != 0 && r.keySignature == keySignature)
            keyState |= kKeyMatchesSignature;
        Put16(list, r.nr);
        Put16(list, r.type);
        Put16(list, r.soft);
        list.push_back(r.address);
        list.push_back(keyState);
        Put32(list, r.options);
        Put16(list, r.baud100);
        list.insert(list.end(), r.config.begin(), r.config.end());
        list.push_back(online ? 3 : 1);
        Put16(list, r.supplyU);
        list.push_back(r.supplyUpp);
        list.push_back(r.supplyMaxUpp);
    }
    // An empty list, or one cut short, ends with a zero entry.
    if (list.size() < bus.size() * kEntrySize || bus.empty())
        list.resize(list.size() + kEntrySize, 0);
    return list;
}

std::optional<Bytes> ManagerModel::Relay(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    if (payload.size() < 4)
        return std::nullopt;
    const std::uint32_t id = Le32(payload.data());
    const auto request = payload.subspan(4);
    Bytes reply(payload.begin(), payload.begin() + 4);
    if (id == kAllReaders) {
        // Only the reading mode goes to every reader at once.
        if (code != kCmdReadingMode) {
            reply.push_back(kBadRequest);
            return reply;
        }
        for (const auto& reader : bus)
            if (IsOnline(*reader))
                reader->Handle(code, request);
        reply.push_back(kAccepted);
        return reply;
    }
    const auto it = std::find_if(bus.begin(), bus.end(), [&](const auto& r) { return r->id() == id; });
    // A reader that is not on the bus, or does not answer on it, leaves the request unanswered.
    if (it == bus.end() || !IsOnline(**it))
        return std::nullopt;
    const Bytes answer = (*it)->Handle(code, request);
    reply.insert(reply.end(), answer.begin(), answer.end());
    if (answerForOtherReaderFirst) {
        Bytes other = reply;
        other[0] ^= 0x01;
        Emit(static_cast<std::uint8_t>(code | 0x80), std::move(other));
        Emit(static_cast<std::uint8_t>(code | 0x80), std::move(reply));
        return std::nullopt;
    }
    return reply;
}

bool ManagerModel::Raise(SimReader& reader, std::optional<Bytes> eventBytes)
{
    if (!eventBytes || !IsOnline(reader))
        return false;
    EmitEvent(reader.id(), *eventBytes);
    return true;
}

void ManagerModel::EmitEvent(std::uint32_t readerId, const Bytes& eventBytes)
{
    Bytes payload;
    Put32(payload, readerId);
    payload.insert(payload.end(), eventBytes.begin(), eventBytes.end());
    Emit(kCmdEvent, std::move(payload));
}

bool ManagerModel::PresentCard(SimReader& reader, std::span<const std::uint8_t, 8> uid,
                               std::optional<std::pair<std::int32_t, std::int32_t>> qozelData)
{
    return Raise(reader, reader.CardEvent(uid, qozelData));
}

bool ManagerModel::ReadPhone(SimReader& reader, std::span<const std::uint8_t, 8> phoneId)
{
    return Raise(reader, reader.RoReEvent(phoneId));
}

bool ManagerModel::TypePin(SimReader& reader, std::string_view pin)
{
    return Raise(reader, reader.PinEvent(pin));
}

bool ManagerModel::ChangeInputs(SimReader& reader, std::uint8_t tamperBits, std::uint8_t powerBits)
{
    return Raise(reader, reader.InputStatusEvent(tamperBits, powerBits));
}

bool ManagerModel::PresentBackupCard(SimReader& reader, std::span<const std::uint8_t, 8> uid,
                                     std::span<const std::uint8_t> certificate)
{
    return Raise(reader, reader.BackupCardEvent(uid, certificate));
}

} // namespace qozel::sim
