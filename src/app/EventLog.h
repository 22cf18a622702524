#pragma once

#include "app/WalkTest.h"
#include "devices/DevInfo.h"
#include "devices/manager/ReaderEvent.h"
#include "devices/manager/ReaderRecord.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace qozel {

class Clock;

// What a log entry records.
enum class LogKind : std::uint8_t {
    CardUid,        // data: the UID
    CardData,       // detail: the fields present (bit 0 UID, 1 department, 2 index); data: UID, department, index
    RoRe,           // data: the phone's identifier
    Pin,            // detail: how many characters were typed; the characters are never kept
    Inputs,         // detail: tamper bits 0-1, power fault bit 2, tamper inputs present bits 3-4;
                    // detail2: what changed since the reader's last report, in the same bits 0-2
    BackupCard,     // nothing of the card's content
    OtherEvent,     // detail2: the event's kind byte
    DevicePlugged,  // detail2: the LogDevice; id: number and type; data: software version
    DeviceUnplugged,
    ReaderJoined,   // a reader came onto the Manager's list
    ReaderLeft,     // a reader went off the list
    ReaderOffline,  // a listed reader stopped answering on the bus
    ReaderOnline,   // and answers again
};

// The USB devices whose coming and going the log records.
enum class LogDevice : std::uint8_t { Manager, Arkan, Programmer, KbReader };

// One entry, fixed in size so that a full log stays small and recording
// allocates nothing.
struct LogEntry {
    std::uint64_t utcMs = 0;
    std::uint32_t id = 0;                 // reader id (nr | type << 16) or the device's
    std::array<std::uint8_t, 16> data{};  // a UID or identifier; a card's department and index at 8 and 12
    LogKind kind = LogKind::OtherEvent;
    std::int8_t row = -1;                 // the reader's row in the table; -1 for a USB device
    std::uint8_t address = 0;             // the reader's bus address
    std::uint8_t detail = 0;
    std::uint8_t detail2 = 0;

    bool IsReaderEntry() const noexcept { return row >= 0; }
    std::uint16_t Nr() const noexcept { return static_cast<std::uint16_t>(id); }
    std::uint16_t Type() const noexcept { return static_cast<std::uint16_t>(id >> 16); }
};

// The installation's event log: every reader event and every coming and
// going of devices and readers, the newest kEntries kept in a ring, and the
// walk test counted as they come. The poll cycle feeds it; the Dziennik tab
// and the exports read it.
class EventLog {
public:
    static constexpr std::size_t kEntries = 50'000;

    explicit EventLog(Clock& clock);

    // One event of the reader listed at `row`.
    void RecordEvent(int row, const ReaderRecord& reader, const ReaderEvent& event);
    // The Manager's list after a change: readers that joined, left, went
    // offline or came back are recorded.
    void NoteReaders(std::span<const ReaderRecord> listed);
    // A USB device's state after a pass: plugged in or unplugged when it
    // differs from the last one noted.
    void NoteDevice(LogDevice device, bool open, const DevInfo& info);
    // Empties the log; the walk test goes on.
    void Clear() noexcept;
    // Starts the walk test afresh; the log stays.
    void StartWalkTest();

    // Sequence numbers: the first entry ever recorded is 0. The entries kept
    // are those from FirstSeq() to EndSeq() - 1.
    std::uint64_t FirstSeq() const noexcept { return endSeq_ - ring_.size(); }
    std::uint64_t EndSeq() const noexcept { return endSeq_; }
    std::size_t Size() const noexcept { return ring_.size(); }
    const LogEntry& At(std::uint64_t seq) const noexcept { return ring_[seq % kEntries]; }
    // Changes each time the log is cleared, so that views start over.
    std::uint32_t Generation() const noexcept { return generation_; }
    const WalkTest& Walk() const noexcept { return walk_; }
    Clock& clock() const noexcept { return clock_; }

    // The benchmark measures the poll pass with and without recording.
    bool recording = true;

private:
    struct SeenReader {
        std::uint32_t id = 0;
        bool online = false;
        std::uint8_t address = 0;
        std::int8_t row = -1;
    };
    struct SeenDevice {
        bool open = false;
        DevInfo info{};
    };
    struct LastInputs {
        std::uint32_t id = 0;
        std::uint8_t bits = 0;
    };

    LogEntry& Append(LogKind kind);
    static void Describe(LogEntry& entry, int row, const ReaderRecord& reader);
    void RecordReaderChange(LogKind kind, const SeenReader& reader);
    // The tamper and power states of an input status event, counted for the
    // walk test when they changed; true when they did.
    bool KeepInputs(LogEntry& entry, std::span<const std::uint8_t> bytes, const ReaderRecord& reader, int row);
    // The input bits changed since the reader's last report (all that are
    // active at its first).
    std::uint8_t InputChanges(int row, std::uint32_t id, std::uint8_t bits) noexcept;

    Clock& clock_;
    std::vector<LogEntry> ring_;
    std::uint64_t endSeq_ = 0;
    std::uint32_t generation_ = 0;
    WalkTest walk_;
    std::array<SeenReader, kMaxReaders> seenReaders_{};
    std::size_t seenCount_ = 0;
    std::array<SeenDevice, 4> seenDevices_{};
    std::array<LastInputs, kMaxReaders> lastInputs_{};
};

} // namespace qozel
