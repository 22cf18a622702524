#include "security/Hash.h"

#include "platform/SecureMemory.h"

#include <bit>
#include <cstring>

namespace qozel {

Hash::~Hash()
{
    SecureWipe(buffer, sizeof buffer);
    countLow = countHigh = 0;
}

void Hash::Update(const std::uint8_t* data, std::size_t length)
{
    const std::uint32_t oldLow = countLow;
    const std::uint64_t count = ByteCount() + length;
    countLow = static_cast<std::uint32_t>(count);
    countHigh = static_cast<std::uint32_t>(count >> 32);

    std::uint32_t fill = oldLow & (blockSize - 1);
    if (fill != 0) {
        const std::uint32_t need = blockSize - fill;
        if (length < need) {
            std::memcpy(buffer + fill, data, length);
            return;
        }
        std::memcpy(buffer + fill, data, need);
        Compress(buffer, 1);
        data += need;
        length -= need;
        fill = 0;
    }
    if (const std::size_t blocks = length / blockSize; blocks > 0) {
        Compress(data, blocks);
        data += blocks * blockSize;
    }
    if (const std::size_t rest = length & (blockSize - 1); rest > 0)
        std::memcpy(buffer, data, rest);
}

void Hash::Pad(std::uint32_t lengthFieldSize)
{
    // The padding is written straight into the buffer: the same bytes as
    // appending them through Update, without its bookkeeping.
    const std::uint64_t bits = ByteCount() * 8;
    std::uint32_t r = countLow & (blockSize - 1);
    buffer[r++] = 0x80;
    if (r > blockSize - lengthFieldSize) {
        std::memset(buffer + r, 0, blockSize - r);
        Compress(buffer, 1);
        r = 0;
    }
    std::memset(buffer + r, 0, blockSize - 8 - r);
    std::uint64_t bigEndianBits = bits;
    if constexpr (std::endian::native == std::endian::little)
        bigEndianBits = __builtin_bswap64(bits);
    std::memcpy(buffer + blockSize - 8, &bigEndianBits, 8);
    Compress(buffer, 1);
}

} // namespace qozel
