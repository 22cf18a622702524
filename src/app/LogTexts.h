#pragma once

#include "app/EventLog.h"

#include <cstdint>
#include <string>

namespace qozel {

class Clock;

// "2026-12-10 14:03:27.125": the local time of `utcMs` as the clock's zone
// reads it, to the millisecond.
std::string LocalTimeText(std::uint64_t utcMs, Clock& clock);
// The same to the second, for the report.
std::string LocalSecondsText(std::uint64_t utcMs, Clock& clock);

// The columns of a log row, in Polish. A USB device's entry has no reader.
std::string LogReaderText(const LogEntry& entry);
std::string LogEventText(const LogEntry& entry);

// "3. QO-V70 Nr: 12, adres 5": a reader by its row, type, number and address.
std::string ReaderLabel(int row, std::uint32_t id, std::uint8_t address);

} // namespace qozel
