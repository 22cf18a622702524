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
    const std::uint8_t kind = event.kind();
    const auto bytes = event.data();
    LogKind logKind = LogKind::OtherEvent;
    if (!EventComplete(event, reader))
        logKind = LogKind::OtherEvent;
    else if (kind == ReaderEvent::CardUid)
        logKind = LogKind::CardUid;
    else if (kind == ReaderEvent::CardData)
        logKind = LogKind::CardData;
    else if (kind == ReaderEvent::RoRe)
        logKind = LogKind::RoRe;
    else if (kind == ReaderEvent::Pin)
        logKind = LogKind::Pin;
    else if (kind == ReaderEvent::InputStatus)
        logKind = LogKind::Inputs;
    else if (kind == ReaderEvent::BackupCertificate)
        logKind = LogKind::BackupCard;

    LogEntry& entry = Append(logKind);
    Describe(entry, row, reader);
    WalkTest::Report report = WalkTest::Report::Other;
    switch (logKind) {
    case LogKind::CardUid:
    case LogKind::RoRe:
        std::copy_n(bytes.begin() + 2, kIdSize, entry.data.begin());
        report = logKind == LogKind::CardUid ? WalkTest::Report::Card : WalkTest::Report::Other;
        break;
    case LogKind::CardData: {
        // UID, department and index as far as the reader's configuration sends them.
        std::size_t at = 2;
        entry.detail = reader.config2 & 0x07;
        if (entry.detail & 1) {
            std::copy_n(bytes.begin() + at, kIdSize, entry.data.begin());
            at += kIdSize;
        }
        // Department and index are kept as the card sent them, little-endian.
        if (entry.detail & 2) {
            std::copy_n(bytes.begin() + at, 4, entry.data.begin() + kIdSize);
            at += 4;
        }
        if (entry.detail & 4)
            std::copy_n(bytes.begin() + at, 4, entry.data.begin() + kIdSize + 4);
        report = WalkTest::Report::Card;
        break;
    }
    case LogKind::Pin: {
        // Only how many characters came; the characters themselves never enter the log.
        std::size_t n = 0;
        while (n < kMaxPinChars && 1 + n < bytes.size() && bytes[1 + n] != 0)
            ++n;
        entry.detail = static_cast<std::uint8_t>(n);
        report = WalkTest::Report::Pin;
        break;
    }
    case LogKind::Inputs: {
        const auto bits = static_cast<std::uint8_t>((bytes[1] & kTamperBits) | ((bytes[2] & 0x03) != 0 ? kPowerBit : 0));
        const std::uint8_t present = static_cast<std::uint8_t>(((reader.options & ReaderRecord::kHasTamper1) ? 0x08 : 0) |
                                                               ((reader.options & ReaderRecord::kHasTamper2) ? 0x10 : 0));
        entry.detail = bits | present;
        // A tamper input the reader does not have reports nothing.
        const auto tamperMask = static_cast<std::uint8_t>(present >> 3);
        entry.detail2 = InputChanges(row, entry.id, bits) & static_cast<std::uint8_t>(tamperMask | kPowerBit);
        if (entry.detail2 & kTamperBits)
            walk_.Count(entry.id, entry.utcMs, WalkTest::Report::Tamper);
        if (entry.detail2 & kPowerBit)
            walk_.Count(entry.id, entry.utcMs, WalkTest::Report::Power);
        if (entry.detail2 != 0)
            return;
        break;
    }
    case LogKind::OtherEvent:
        entry.detail2 = kind;
        break;
    default:
        break;
    }
    walk_.Count(entry.id, entry.utcMs, report);
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
