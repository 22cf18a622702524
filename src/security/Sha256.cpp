#include "security/Sha256.h"

#include "platform/SecureMemory.h"
#include "security/Sha256Engine.h"

#include <bit>
#include <cstring>

namespace qozel {

Sha256::~Sha256()
{
    SecureWipe(state, sizeof state);
}

void Sha256::Compress(const std::uint8_t* data, std::size_t blocks)
{
    Sha256CompressBlocks(state, data, blocks);
}

void Sha256::Init()
{
    static constexpr std::uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                  0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    ResetCount();
    for (int i = 0; i < 8; ++i)
        state[i] = kInitial[i];
}

void Sha256::Final(std::uint8_t* output)
{
    Pad(8);
    for (int i = 0; i < 8; ++i) {
        std::uint32_t word = state[i];
        if constexpr (std::endian::native == std::endian::little)
            word = __builtin_bswap32(word);
        std::memcpy(output + 4 * i, &word, 4);
    }
}

} // namespace qozel
