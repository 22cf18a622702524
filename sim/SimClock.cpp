#include "SimClock.h"

#include <chrono>
#include <thread>

namespace qozel::sim {

void RealTimeSimClock::AdvanceUs(std::uint64_t us)
{
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

} // namespace qozel::sim
