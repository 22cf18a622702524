#pragma once

#include <cstdint>

namespace qozel {

// Time as the system needs it: wall-clock seconds for key signatures, the
// Manager's clock and event marks, a monotonic microsecond counter for
// entropy mixing and bounded waits, and a blocking sleep.
class Clock {
public:
    virtual ~Clock() = default;

    // UTC time in whole seconds since 1970-01-01.
    virtual std::uint32_t UtcSeconds() = 0;
    // UTC time in milliseconds since 1970-01-01, for the event log.
    virtual std::uint64_t UtcMilliseconds() = 0;
    // Offset of the local time from UTC at `utcSeconds`, in seconds, for
    // showing logged times as the installer's wall clock reads them.
    virtual std::int32_t LocalOffsetSeconds(std::int64_t utcSeconds) = 0;
    // Monotonic counter in microseconds; only differences are meaningful.
    virtual std::uint64_t Microseconds() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
};

// The real clock on std::chrono.
class SystemClock final : public Clock {
public:
    std::uint32_t UtcSeconds() override;
    std::uint64_t UtcMilliseconds() override;
    std::int32_t LocalOffsetSeconds(std::int64_t utcSeconds) override;
    std::uint64_t Microseconds() override;
    void SleepMs(std::uint32_t ms) override;
};

} // namespace qozel
