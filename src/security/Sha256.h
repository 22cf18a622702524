#pragma once

#include "security/Hash.h"

#include <cstdint>

namespace qozel {

// SHA-256 (FIPS 180-4).
class Sha256 : public Hash {
public:
    static constexpr std::uint32_t kDigestSize = 32;

    Sha256() noexcept : Hash(64, kDigestSize) {}
    ~Sha256();

    void Compress(const std::uint8_t* data, std::size_t blocks) override;
    void Init() override;
    void Final(std::uint8_t* output) override;

protected:
    std::uint32_t state[8] = {};
};

} // namespace qozel
