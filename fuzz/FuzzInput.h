#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qozel::fuzz {

using Bytes = std::vector<std::uint8_t>;

// The fuzz input, consumed from the front; zeros once it is used up.
struct Input {
    const std::uint8_t* data;
    std::size_t size;

    bool empty() const { return size == 0; }
    std::uint8_t Byte()
    {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    std::uint32_t Le32()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        return value;
    }
    Bytes Take(std::size_t n)
    {
        n = std::min(n, size);
        Bytes out(data, data + n);
        data += n;
        size -= n;
        return out;
    }
};

} // namespace qozel::fuzz
