#include "security/Hash.h"

#include "platform/SecureMemory.h"

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
    static constexpr std::uint8_t kPadding[2 * kMaxBlock] = {0x80};
    const std::uint64_t bits = ByteCount() * 8;
    const std::uint32_t r = countLow & (blockSize - 1);
    const std::uint32_t end = blockSize - 8;
    const std::uint32_t p = r < blockSize - lengthFieldSize ? end - r : blockSize + end - r;
    std::uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Update(kPadding, p);
    Update(length, sizeof length);
}

} // namespace qozel
