#include "link/TraceSet.h"

namespace qozel {

void TraceSet::TraceBytes(int, std::span<const std::uint8_t>, std::uint32_t, int) {}
void TraceSet::TraceText(std::string_view) {}
void TraceSet::TraceOther() {}

TraceSet& GlobalTrace()
{
    static TraceSet sink;
    return sink;
}

TraceSet* TraceAr = &GlobalTrace();
TraceSet* TracePrgr = &GlobalTrace();
TraceSet* TraceMan = &GlobalTrace();
TraceSet* TraceKbRd = &GlobalTrace();

} // namespace qozel
