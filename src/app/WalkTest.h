#pragma once

#include <array>
#include <cstdint>

namespace qozel {

// What one reader reported since the walk test started.
struct WalkCounts {
    std::uint32_t id = 0;         // reader id; 0 = slot free
    std::uint64_t lastUtcMs = 0;  // its last report; 0 = none
    std::uint32_t cards = 0;      // card UIDs and QoZEL cards
    std::uint32_t pins = 0;
    std::uint32_t tamper = 0;     // reports in which a tamper input changed
    std::uint32_t power = 0;      // reports in which the power fault changed
};

// The walk test: the installer goes from reader to reader presenting a card,
// typing a PIN and opening the tamper switch; this counts what each reader
// reported since the test started, by reader id so that a reader keeps its
// counts when its row moves.
class WalkTest {
public:
    // More slots than readers on a bus, so that readers swapped during a test keep theirs.
    static constexpr std::size_t kSlots = 64;

    enum class Report { Card, Pin, Tamper, Power, Other };

    void Start(std::uint64_t utcMs) noexcept;
    // One report of reader `id` at `utcMs`.
    void Count(std::uint32_t id, std::uint64_t utcMs, Report report) noexcept;
    // The reader's counts, or nullptr when it reported nothing since the start.
    const WalkCounts* Find(std::uint32_t id) const noexcept;
    std::uint64_t StartUtcMs() const noexcept { return startUtcMs_; }

private:
    WalkCounts& SlotFor(std::uint32_t id) noexcept;

    std::uint64_t startUtcMs_ = 0;
    std::array<WalkCounts, kSlots> slots_{};
};

} // namespace qozel
