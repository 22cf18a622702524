#include "link/Frame.h"

#include <bit>

namespace qozel {

std::uint16_t Crc16(std::span<const std::uint8_t> data, std::uint16_t init) noexcept
{
    // Folds each byte with a parity computation instead of eight shift steps.
    std::uint16_t crc = init;
    for (std::uint8_t byte : data) {
        const std::uint16_t t = (byte ^ crc) & 0xFF;
        crc = static_cast<std::uint16_t>((crc >> 8) ^ (t << 7) ^ (t << 6) ^
                                         ((std::popcount(t) & 1) ? 0xC001 : 0));
    }
    return crc;
}

std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t init) noexcept
{
    std::uint32_t crc = init;
    for (std::uint8_t byte : data) {
        crc ^= static_cast<std::uint32_t>(byte) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

std::size_t BuildFrame(std::uint8_t command, std::span<const std::uint8_t> payload,
                       std::span<std::uint8_t> out) noexcept
{
    const std::size_t length = payload.size() + kFrameOverhead;
    if (payload.size() > kMaxPayload || length > out.size())
        return 0;
    PutLe16(out.data(), static_cast<std::uint16_t>(length));
    out[2] = command;
    std::copy(payload.begin(), payload.end(), out.begin() + 3);
    PutLe16(out.data() + 3 + payload.size(), Crc16(out.first(3 + payload.size())));
    return length;
}

bool IsValidFrame(std::span<const std::uint8_t> transfer) noexcept
{
    return transfer.size() > kFrameOverhead && GetLe16(transfer.data()) == transfer.size() &&
           Crc16(transfer) == 0;
}

} // namespace qozel
