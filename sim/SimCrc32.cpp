#include "SimCrc32.h"

namespace qozel::sim {

std::uint32_t Mpeg2Crc32(std::span<const std::uint8_t> data)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::uint8_t byte : data) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool in = ((byte >> bit) & 1) != 0;
            const bool top = (crc & 0x80000000u) != 0;
            crc <<= 1;
            if (in != top)
                crc ^= 0x04C11DB7u;
        }
    }
    return crc;
}

} // namespace qozel::sim
