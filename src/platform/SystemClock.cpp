#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace qozel {

std::uint32_t SystemClock::UtcSeconds()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<seconds>(system_clock::now().time_since_epoch()).count());
}

std::uint64_t SystemClock::Microseconds()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::SleepMs(std::uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace qozel
