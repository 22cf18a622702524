#include "platform/Guid.h"

namespace qozel {

std::string Guid::ToString() const
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s = "{";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            s += '-';
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 0x0F];
    }
    s += '}';
    return s;
}

} // namespace qozel
