#include "app/EventLog.h"

#include "app/ReaderTable.h"
#include "link/Frame.h"
#include "platform/Clock.h"

#include <algorithm>

namespace qozel {
namespace {

constexpr std::size_t kIdSize = 8;
constexpr std::size_t kMaxPinChars = 8;
constexpr std::uint8_t kTamperBits = 0x03;
constexpr std::uint8_t kPowerBit = 0x04;

LogKind KindOf(const ReaderEvent& event, const ReaderRecord& reader)
{
    if (!EventComplete(event, reader))
        return LogKind::OtherEvent;
    switch (event.kind()) {
    case ReaderEvent::CardUid: return LogKind::CardUid;
    case ReaderEvent::CardData: return LogKind::CardData;
    case ReaderEvent::RoRe: return LogKind::RoRe;
    case ReaderEvent::Pin: return LogKind::Pin;
    case ReaderEvent::InputStatus: return LogKind::Inputs;
    case ReaderEvent::BackupCertificate: return LogKind::BackupCard;
    default: return LogKind::OtherEvent;
    }
}

// UID, department and index as far as the reader's configuration sends them;
// the numbers are kept as the card sent them, little-endian.
void KeepCardData(LogEntry& entry, std::span<const std::uint8_t> bytes, std::uint8_t config2)
{
    constexpr std::size_t kNumberSize = 4;
    entry.detail = config2 & 0x07;
    auto at = bytes.begin() + 2;
    if (entry.detail & 1) {
        std::copy_n(at, kIdSize, entry.data.begin());
        at += kIdSize;
    }
    if (entry.detail & 2) {
        std::copy_n(at, kNumberSize, entry.data.begin() + kIdSize);
        at += kNumberSize;
    }
    if (entry.detail & 4)
        std::copy_n(at, kNumberSize, entry.data.begin() + kIdSize + kNumberSize);
}

std::uint8_t PinLength(std::span<const std::uint8_t> bytes)
{
    std::size_t n = 0;
    while (n < kMaxPinChars && 1 + n < bytes.size() && bytes[1 + n] != 0)
        ++n;
    return static_cast<std::uint8_t>(n);
}

} // namespace

EventLog::EventLog(Clock& clock) : clock_(clock)
{
    // Reserved, not touched: the pages are taken as the log fills.
    ring_.reserve(kEntries);
    walk_.Start(clock_.UtcMilliseconds());
}

LogEntry& EventLog::Append(LogKind kind)
{
    LogEntry entry;
    entry.utcMs = clock_.UtcMilliseconds();
    entry.kind = kind;
    LogEntry* slot;
    if (ring_.size() < kEntries) {
        ring_.push_back(entry);
        slot = &ring_.back();
    } else {
        slot = &ring_[endSeq_ % kEntries];
        *slot = entry;
    }
    ++endSeq_;
    return *slot;
}

void EventLog::Describe(LogEntry& entry, int row, const ReaderRecord& reader)
{
    entry.id = reader.readerId();
    entry.row = static_cast<std::int8_t>(row);
    entry.address = reader.address();
}

void EventLog::RecordEvent(int row, const ReaderRecord& reader, const ReaderEvent& event)
{
    if (!recording)
        return;
    const auto bytes = event.data();
    LogEntry& entry = Append(KindOf(event, reader));
    Describe(entry, row, reader);
    WalkTest::Report report = WalkTest::Report::Other;
    switch (entry.kind) {
    case LogKind::CardUid:
        std::copy_n(bytes.begin() + 2, kIdSize, entry.data.begin());
        report = WalkTest::Report::Card;
        break;
    case LogKind::RoRe:
        std::copy_n(bytes.begin() + 2, kIdSize, entry.data.begin());
        break;
    case LogKind::CardData:
        KeepCardData(entry, bytes, reader.config2);
        report = WalkTest::Report::Card;
        break;
    case LogKind::Pin:
        // Only how many characters came; the characters themselves never enter the log.
        entry.detail = PinLength(bytes);
        report = WalkTest::Report::Pin;
        break;
    case LogKind::Inputs:
        if (KeepInputs(entry, bytes, reader, row))
            return;
        break;
    default:
        entry.detail2 = event.kind();
        break;
    }
    walk_.Count(entry.id, entry.utcMs, report);
}

bool EventLog::KeepInputs(LogEntry& entry, std::span<const std::uint8_t> bytes, const ReaderRecord& reader, int row)
{
    const auto bits = static_cast<std::uint8_t>((bytes[1] & kTamperBits) | ((bytes[2] & 0x03) != 0 ? kPowerBit : 0));
    const auto present = static_cast<std::uint8_t>(((reader.options & ReaderRecord::kHasTamper1) ? 0x08 : 0) |
                                                   ((reader.options & ReaderRecord::kHasTamper2) ? 0x10 : 0));
    entry.detail = bits | present;
    // A tamper input the reader does not have reports nothing.
    const auto reported = static_cast<std::uint8_t>((present >> 3) | kPowerBit);
    entry.detail2 = InputChanges(row, entry.id, bits) & reported;
    if (entry.detail2 & kTamperBits)
        walk_.Count(entry.id, entry.utcMs, WalkTest::Report::Tamper);
    if (entry.detail2 & kPowerBit)
        walk_.Count(entry.id, entry.utcMs, WalkTest::Report::Power);
    return entry.detail2 != 0;
}

std::uint8_t EventLog::InputChanges(int row, std::uint32_t id, std::uint8_t bits) noexcept
{
    LastInputs& last = lastInputs_[static_cast<std::size_t>(row) % kMaxReaders];
    const std::uint8_t before = last.id == id ? last.bits : 0;
    last = {id, bits};
    return static_cast<std::uint8_t>(before ^ bits);
}

void EventLog::RecordReaderChange(LogKind kind, const SeenReader& reader)
{
    LogEntry& entry = Append(kind);
    entry.id = reader.id;
    entry.row = reader.row;
    entry.address = reader.address;
}

void EventLog::NoteReaders(std::span<const ReaderRecord> listed)
{
    std::array<SeenReader, kMaxReaders> now{};
    const std::size_t count = std::min(listed.size(), now.size());
    for (std::size_t i = 0; i < count; ++i)
        now[i] = {listed[i].readerId(), listed[i].online, listed[i].address(), static_cast<std::int8_t>(i)};
    if (recording) {
        const auto before = std::span(seenReaders_).first(seenCount_);
        for (const SeenReader& reader : std::span(now).first(count)) {
            const auto it = std::find_if(before.begin(), before.end(),
                                         [&](const SeenReader& r) { return r.id == reader.id; });
            if (it == before.end())
                RecordReaderChange(LogKind::ReaderJoined, reader);
            else if (it->online != reader.online)
                RecordReaderChange(reader.online ? LogKind::ReaderOnline : LogKind::ReaderOffline, reader);
        }
        for (const SeenReader& reader : before) {
            const auto after = std::span(now).first(count);
            if (std::none_of(after.begin(), after.end(), [&](const SeenReader& r) { return r.id == reader.id; }))
                RecordReaderChange(LogKind::ReaderLeft, reader);
        }
    }
    seenReaders_ = now;
    seenCount_ = count;
}

void EventLog::NoteDevice(LogDevice device, bool open, const DevInfo& info)
{
    SeenDevice& seen = seenDevices_[static_cast<std::size_t>(device)];
    if (seen.open == open)
        return;
    // An unplugged device is named as it was while present.
    const DevInfo named = open ? info : seen.info;
    seen = {open, info};
    if (!recording)
        return;
    LogEntry& entry = Append(open ? LogKind::DevicePlugged : LogKind::DeviceUnplugged);
    entry.id = named.DeviceId();
    entry.data[0] = static_cast<std::uint8_t>(named.soft);
    entry.data[1] = static_cast<std::uint8_t>(named.soft >> 8);
    entry.detail2 = static_cast<std::uint8_t>(device);
}

void EventLog::Clear() noexcept
{
    ring_.clear();
    endSeq_ = 0;
    ++generation_;
}

void EventLog::StartWalkTest()
{
    walk_.Start(clock_.UtcMilliseconds());
}

} // namespace qozel
