#pragma once

#include "security/Hash.h"

#include <cstdint>

namespace qozel {

// SHA-512 (FIPS 180-4), for messages shorter than 2^61 bytes.
class Sha512 : public Hash {
public:
    static constexpr std::uint32_t kDigestSize = 64;

    Sha512() noexcept : Hash(128, kDigestSize) {}
    ~Sha512();

    void Compress(const std::uint8_t* data, std::size_t blocks) override;
    void Init() override;
    void Final(std::uint8_t* output) override;

protected:
    std::uint64_t state[8] = {};
};

} // namespace qozel
