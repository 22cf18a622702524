#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace qozel {

// Where the channels report every transfer. The default sink does nothing;
// a diagnostic sink can be attached per device kind.
class TraceSet {
public:
    virtual ~TraceSet() = default;

    // direction 1 = sent by the system, 0 = received; `mark` is always 63.
    virtual void TraceBytes(int direction, std::span<const std::uint8_t> bytes,
                            std::uint32_t deviceTag, int mark);
    virtual void TraceText(std::string_view line);
    virtual void TraceOther();
};

inline constexpr int kTraceMark = 63;

// The process-wide do-nothing sink, and the sink of each device kind
// (all pointing at the global one unless a diagnostic sink is installed).
TraceSet& GlobalTrace();
extern TraceSet* TraceAr;
extern TraceSet* TracePrgr;
extern TraceSet* TraceMan;
extern TraceSet* TraceKbRd;

} // namespace qozel
