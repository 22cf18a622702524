#include "SimFrame.h"

namespace qozel::sim {

std::uint16_t ModbusCrc(std::span<const std::uint8_t> data)
{
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

Bytes MakeFrame(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    const std::size_t length = payload.size() + 5;
    Bytes frame;
    frame.reserve(length);
    frame.push_back(static_cast<std::uint8_t>(length));
    frame.push_back(static_cast<std::uint8_t>(length >> 8));
    frame.push_back(code);
    frame.insert(frame.end(), payload.begin(), payload.end());
    const std::uint16_t crc = ModbusCrc(frame);
    frame.push_back(static_cast<std::uint8_t>(crc));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    return frame;
}

std::optional<ParsedFrame> ParseFrame(std::span<const std::uint8_t> transfer)
{
    if (transfer.size() < 5)
        return std::nullopt;
    const std::size_t length = transfer[0] | (transfer[1] << 8);
    if (length != transfer.size())
        return std::nullopt;
    const std::uint16_t crc = ModbusCrc(transfer.first(length - 2));
    if ((crc & 0xFF) != transfer[length - 2] || (crc >> 8) != transfer[length - 1])
        return std::nullopt;
    return ParsedFrame{transfer[2], Bytes(transfer.begin() + 3, transfer.end() - 2)};
}

} // namespace qozel::sim
