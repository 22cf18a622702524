#pragma once

#include "platform/Clock.h"

#include <cstdint>

namespace qozel {

// The minute in which the readers, put into backup-card reading mode, wait
// for a backup card; the poll cycle stores the first card's certificate or
// returns the readers to normal reading when it ends.
class BackupCardWait {
public:
    static constexpr std::uint64_t kWaitUs = 60'000'000;

    explicit BackupCardWait(Clock& clock) noexcept : clock_(clock) {}

    void Start() { deadlineUs_ = clock_.Microseconds() + kWaitUs; }
    void End() noexcept { deadlineUs_ = 0; }
    bool Awaited() const noexcept { return deadlineUs_ != 0; }
    bool TimedOut() { return deadlineUs_ != 0 && clock_.Microseconds() > deadlineUs_; }

private:
    Clock& clock_;
    // Monotonic time the wait ends; 0 = none pending.
    std::uint64_t deadlineUs_ = 0;
};

} // namespace qozel
