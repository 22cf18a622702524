#include "app/WalkTest.h"

#include <algorithm>

namespace qozel {

void WalkTest::Start(std::uint64_t utcMs) noexcept
{
    startUtcMs_ = utcMs;
    slots_.fill(WalkCounts{});
}

const WalkCounts* WalkTest::Find(std::uint32_t id) const noexcept
{
    const auto it = std::find_if(slots_.begin(), slots_.end(), [id](const WalkCounts& c) { return c.id == id; });
    return it == slots_.end() ? nullptr : &*it;
}

WalkCounts& WalkTest::SlotFor(std::uint32_t id) noexcept
{
    WalkCounts* free = nullptr;
    WalkCounts* oldest = &slots_[0];
    for (WalkCounts& slot : slots_) {
        if (slot.id == id)
            return slot;
        if (slot.id == 0 && free == nullptr)
            free = &slot;
        if (slot.lastUtcMs < oldest->lastUtcMs)
            oldest = &slot;
    }
    // All taken: the reader heard from longest ago gives its slot up.
    WalkCounts& slot = free != nullptr ? *free : *oldest;
    slot = WalkCounts{};
    slot.id = id;
    return slot;
}

void WalkTest::Count(std::uint32_t id, std::uint64_t utcMs, Report report) noexcept
{
    WalkCounts& counts = SlotFor(id);
    counts.lastUtcMs = utcMs;
    switch (report) {
    case Report::Card: ++counts.cards; break;
    case Report::Pin: ++counts.pins; break;
    case Report::Tamper: ++counts.tamper; break;
    case Report::Power: ++counts.power; break;
    case Report::Other: break;
    }
}

} // namespace qozel
