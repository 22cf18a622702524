#pragma once

#include "platform/Clock.h"

#include <cstdint>

namespace qozel::sim {

// The time the simulated USB host runs on: a Clock that can also be told to
// let a span of microseconds pass (a transfer on the bus, a read that times
// out, a reply that comes later).
class SimClock : public Clock {
public:
    virtual void AdvanceUs(std::uint64_t us) = 0;
    void AdvanceMs(std::uint64_t ms) { AdvanceUs(ms * 1000); }
};

// Real time, for the demo, where the program runs on SystemClock: the spans
// the simulated devices take are waited out, so a read that times out blocks
// as long as on a real device, and the simulation's time is the program's.
class RealTimeSimClock final : public SimClock {
public:
    std::uint32_t UtcSeconds() override { return system_.UtcSeconds(); }
    std::uint64_t UtcMilliseconds() override { return system_.UtcMilliseconds(); }
    std::int32_t LocalOffsetSeconds(std::int64_t utcSeconds) override { return system_.LocalOffsetSeconds(utcSeconds); }
    std::uint64_t Microseconds() override { return system_.Microseconds(); }
    void SleepMs(std::uint32_t ms) override { system_.SleepMs(ms); }
    void AdvanceUs(std::uint64_t us) override;

private:
    SystemClock system_;
};

} // namespace qozel::sim
