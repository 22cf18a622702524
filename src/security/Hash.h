#pragma once

#include <cstddef>
#include <cstdint>

namespace qozel {

// A streaming hash over a block compression function. Update compresses
// whole blocks directly from the caller's data and buffers only the rest.
// Instances are local values, never deleted through this base.
class Hash {
public:
    static constexpr std::uint32_t kMaxBlock = 128;

    // Runs the compression over `blocks` consecutive blocks at `data`.
    virtual void Compress(const std::uint8_t* data, std::size_t blocks) = 0;
    // Zero count and the initial hash value; every computation starts here.
    virtual void Init() = 0;
    // Pads, finishes and writes digestSize bytes. Does not reset.
    virtual void Final(std::uint8_t* output) = 0;

    void Update(const std::uint8_t* data, std::size_t length);

    const std::uint32_t blockSize;
    const std::uint32_t digestSize;

protected:
    Hash(std::uint32_t blockSizeBytes, std::uint32_t digestSizeBytes) noexcept
        : blockSize(blockSizeBytes), digestSize(digestSizeBytes) {}
    Hash(const Hash&) = delete;
    Hash& operator=(const Hash&) = delete;
    ~Hash();

    void ResetCount() noexcept { countLow = countHigh = 0; }
    std::uint64_t ByteCount() const noexcept { return (std::uint64_t{countHigh} << 32) | countLow; }
    // Appends 0x80, then zeros, then the bit count as a 64-bit big-endian
    // value ending a block, and compresses. The 0x80 must precede the whole
    // standard length field of `lengthFieldSize` bytes (8 or 16), whose upper
    // bytes beyond the 64-bit count are zeros of the padding. The count
    // itself is left as it was.
    void Pad(std::uint32_t lengthFieldSize);

    std::uint32_t countLow = 0;
    std::uint32_t countHigh = 0;
    std::uint8_t buffer[kMaxBlock] = {};
};

} // namespace qozel
