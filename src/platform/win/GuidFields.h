#pragma once

#include "platform/Guid.h"

#include <array>
#include <cstdint>

namespace qozel {

// A GUID in the field layout of the Windows GUID structure: the first three
// groups of the text form are numbers (stored in the machine's byte order),
// the last eight bytes stay in text order.
struct GuidFields {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    friend bool operator==(const GuidFields&, const GuidFields&) = default;
};

GuidFields ToGuidFields(const Guid& guid);

} // namespace qozel
