#include "SimUpgradeTarget.h"

#include "TestImageMaker.h"

#include "devices/FirmwareImage.h"

#include <algorithm>

namespace qozel::sim {

std::optional<Bytes> SimUpgradeTarget::HandleUsb(std::uint8_t code, std::span<const std::uint8_t> payload,
                                                 DevInfo& self)
{
    switch (code) {
    case kCmdHeader:
        return Header(payload, self);
    case kCmdBlock:
        return Block(payload, blocks_);
    case kCmdFinal: {
        const auto expected = TestFinalEntry(type_, version_, static_cast<std::uint8_t>(self.nr & 0xFF));
        if (!receiving_ || next_ != blocks_ || !std::ranges::equal(payload, expected))
            return Refuse();
        lastFinalEntry = Bytes(payload.begin(), payload.end());
        return Finish(self);
    }
    default:
        return std::nullopt;
    }
}

Bytes SimUpgradeTarget::HandleReader(std::span<const std::uint8_t> payload, DevInfo& self)
{
    if (payload.size() == FirmwareImage::kHeaderSize)
        return Header(payload, self);
    const int total = blocks_ + static_cast<int>(FirmwareImage::kFinalGroups);
    Bytes status = Block(payload, total);
    if (status[0] == 0 && next_ == total)
        return Finish(self);
    return status;
}

Bytes SimUpgradeTarget::Header(std::span<const std::uint8_t> payload, const DevInfo& self)
{
    receiving_ = false;
    if (payload.size() != FirmwareImage::kHeaderSize)
        return Refuse();
    const std::uint16_t type = static_cast<std::uint16_t>(payload[0] << 8 | payload[1]);
    const std::uint16_t blocks = static_cast<std::uint16_t>(payload[4] | payload[5] << 8);
    if (type != self.type || blocks == 0)
        return Refuse();
    // The whole header, bytes 8..15 included, must be the one of the image.
    const auto image = MakeTestImage(type, payload[2], blocks);
    if (!std::equal(payload.begin(), payload.end(), image.begin()))
        return Refuse();
    type_ = type;
    version_ = payload[2];
    blocks_ = blocks;
    next_ = 0;
    receiving_ = true;
    return Bytes{0};
}

Bytes SimUpgradeTarget::Block(std::span<const std::uint8_t> payload, int blocksExpected)
{
    if (!receiving_ || payload.size() != 2 + FirmwareImage::kBlockSize)
        return Refuse();
    const std::uint16_t n = static_cast<std::uint16_t>(payload[0] | payload[1] << 8);
    if (n != next_ || n >= blocksExpected || (refuseBlock && *refuseBlock == n))
        return Refuse();
    const auto expected = n < blocks_ ? TestImageBlock(type_, version_, n)
                                      : TestFinalGroup(type_, version_, static_cast<std::uint8_t>(n - blocks_));
    if (!std::equal(expected.begin(), expected.end(), payload.begin() + 2))
        return Refuse();
    ++next_;
    return Bytes{0};
}

Bytes SimUpgradeTarget::Finish(DevInfo& self)
{
    receiving_ = false;
    self.soft = version_;
    ++completed_;
    return Bytes{0};
}

Bytes SimUpgradeTarget::Refuse()
{
    receiving_ = false;
    return Bytes{kRefused};
}

} // namespace qozel::sim
