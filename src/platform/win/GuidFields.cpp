#include "platform/win/GuidFields.h"

namespace qozel {

GuidFields ToGuidFields(const Guid& guid)
{
    const auto& b = guid.bytes;
    GuidFields f;
    f.data1 = static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
              static_cast<std::uint32_t>(b[2]) << 8 | b[3];
    f.data2 = static_cast<std::uint16_t>(b[4] << 8 | b[5]);
    f.data3 = static_cast<std::uint16_t>(b[6] << 8 | b[7]);
    for (std::size_t i = 0; i < f.data4.size(); ++i)
        f.data4[i] = b[8 + i];
    return f;
}

} // namespace qozel
