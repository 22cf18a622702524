#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// A view of one firmware image held in writable memory:
//   0  type word, big-endian      4  block count B (LE)   8  8 bytes sent as they are
//   2  version                    6  disable word (LE)   16  B blocks of 520 bytes
//   3  not interpreted                                    then the final-entry table, 4 x 520
// Only the header is interpreted; everything else is sent unchanged.
class FirmwareImage {
public:
    static constexpr std::size_t kHeaderSize = 16;
    static constexpr std::size_t kBlockSize = 520;
    static constexpr std::size_t kFinalGroups = 4;
    static constexpr std::size_t kFinalEntrySize = 8;

    // Size of a whole image with B data blocks.
    static constexpr std::size_t SizeFor(std::size_t blocks) noexcept
    {
        return kHeaderSize + (blocks + kFinalGroups) * kBlockSize;
    }

    FirmwareImage() = default;
    // `bytes` holds at least a header; a complete image is SizeFor(blockCount()) long.
    explicit FirmwareImage(std::span<std::uint8_t> bytes) noexcept : bytes_(bytes) {}

    bool empty() const noexcept { return bytes_.size() < kHeaderSize; }
    std::uint16_t type() const noexcept { return static_cast<std::uint16_t>(bytes_[0] << 8 | bytes_[1]); }
    std::uint8_t version() const noexcept { return bytes_[2]; }
    std::uint16_t blockCount() const noexcept { return static_cast<std::uint16_t>(bytes_[4] | bytes_[5] << 8); }
    std::uint16_t disableWord() const noexcept { return static_cast<std::uint16_t>(bytes_[6] | bytes_[7] << 8); }
    // True when the image is complete for its block count.
    bool complete() const noexcept { return !empty() && bytes_.size() >= SizeFor(blockCount()); }

    // The version this image offers a device of `deviceType`, or 0 when it does not fit.
    int VersionFor(std::uint16_t deviceType) const noexcept
    {
        if (!complete() || type() != deviceType || disableWord() != 0)
            return 0;
        return version();
    }

    std::span<const std::uint8_t, kHeaderSize> header() const noexcept
    {
        return bytes_.first<kHeaderSize>();
    }
    // Data block n, or (for n >= B) group n - B of the final-entry table.
    std::span<const std::uint8_t, kBlockSize> block(std::size_t n) const noexcept
    {
        return bytes_.subspan(kHeaderSize + n * kBlockSize).first<kBlockSize>();
    }
    // The final entry meant for a device whose number has low byte `b`.
    std::span<const std::uint8_t, kFinalEntrySize> finalEntry(std::uint8_t b) const noexcept
    {
        return bytes_.subspan(kHeaderSize + (blockCount() + (b >> 6)) * kBlockSize + (b & 63) * kFinalEntrySize)
            .first<kFinalEntrySize>();
    }

    // After a failed upgrade the image fits no device until the program restarts.
    void Disable() noexcept
    {
        for (std::size_t i = 0; i < 4 && i < bytes_.size(); ++i)
            bytes_[i] = 0;
    }

private:
    std::span<std::uint8_t> bytes_;
};

// The request that carries one block of an image: block number (LE16), then
// the 520 bytes. Devices take it with command 89, readers with command 117.
using UpgradeBlockRequest = std::array<std::uint8_t, 2 + FirmwareImage::kBlockSize>;

inline UpgradeBlockRequest MakeUpgradeBlockRequest(std::uint16_t blockNumber,
                                                   std::span<const std::uint8_t, FirmwareImage::kBlockSize> block)
{
    UpgradeBlockRequest request;
    request[0] = static_cast<std::uint8_t>(blockNumber);
    request[1] = static_cast<std::uint8_t>(blockNumber >> 8);
    std::copy(block.begin(), block.end(), request.begin() + 2);
    return request;
}

} // namespace qozel
