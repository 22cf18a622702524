#pragma once

#include "app/EventLog.h"

#include <array>
#include <cstdint>
#include <deque>

namespace qozel {

// Which entries of the log a view shows.
struct LogFilter {
    enum class Kind : std::uint8_t { All, Cards, RoRe, Pin, Tamper, Power, BackupCard, Devices, Other };
    static constexpr std::array<const char*, 9> kKindNames = {
        "Wszystkie zdarzenia", "Karty", "RoRe", "PIN", "Tamper", "Zasilanie", "Karta zapasowa",
        "Urządzenia i czytniki", "Inne"};

    std::uint32_t readerId = 0;   // 0 = every reader and device
    Kind kind = Kind::All;

    bool Matches(const LogEntry& entry) const noexcept;
    friend bool operator==(const LogFilter&, const LogFilter&) = default;
};

// The entries of the log that pass a filter, newest first, kept up to date
// by Sync so that a table can insert the new rows at the top and drop the
// oldest at the bottom.
class LogView {
public:
    struct Update {
        bool reset = false;      // the filter changed or the log was cleared: take the view whole
        std::size_t added = 0;   // new rows at the top
        std::size_t dropped = 0; // rows gone from the bottom
    };

    void SetFilter(const LogFilter& filter) noexcept;
    const LogFilter& Filter() const noexcept { return filter_; }
    Update Sync(const EventLog& log);

    std::size_t Count() const noexcept { return seqs_.size(); }
    // Row 0 is the newest.
    std::uint64_t SeqOfRow(std::size_t row) const noexcept { return seqs_[seqs_.size() - 1 - row]; }

private:
    LogFilter filter_;
    bool filterChanged_ = true;
    std::uint32_t generation_ = 0;
    std::uint64_t endSeq_ = 0;
    std::deque<std::uint64_t> seqs_;   // oldest first
};

} // namespace qozel
