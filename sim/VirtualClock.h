#pragma once

#include "SimClock.h"

#include <cstdint>

namespace qozel::sim {

// Time that moves only when someone waits: sleeps and read time-outs advance
// it, so a 2000 ms time-out costs no real time in a test.
class VirtualClock final : public SimClock {
public:
    explicit VirtualClock(std::uint32_t utcStart = 1'700'000'000) : utcStart_(utcStart) {}

    std::uint32_t UtcSeconds() override { return utcStart_ + static_cast<std::uint32_t>(nowUs_ / 1'000'000); }
    std::uint64_t UtcMilliseconds() override { return std::uint64_t{utcStart_} * 1000 + nowUs_ / 1000; }
    // The tests read logged times as UTC.
    std::int32_t LocalOffsetSeconds(std::int64_t) override { return 0; }
    std::uint64_t Microseconds() override { return nowUs_; }
    void SleepMs(std::uint32_t ms) override { nowUs_ += std::uint64_t{ms} * 1000; }

    void AdvanceUs(std::uint64_t us) override { nowUs_ += us; }

private:
    std::uint32_t utcStart_;
    std::uint64_t nowUs_ = 0;
};

} // namespace qozel::sim
