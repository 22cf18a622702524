#pragma once

#include "security/Coder.h"

#include <cstddef>
#include <cstdint>

namespace qozel {

// CMAC (NIST SP 800-38B) over a keyed block cipher with 16- or 8-byte blocks;
// with AES-128 this is the AES-CMAC of RFC 4493. Streaming: the last block of
// the message, full or partial, always stays pending until Final.
class Cmac {
public:
    static constexpr std::uint32_t kMaxBlock = 16;

    // The cipher must be keyed and outlive this object.
    explicit Cmac(Coder& cipher) noexcept : cipher_(cipher) {}
    Cmac(const Cmac&) = delete;
    Cmac& operator=(const Cmac&) = delete;
    ~Cmac();

    void Init() noexcept;
    void Update(const std::uint8_t* data, std::size_t length);
    // Writes one block of tag. Does not reset; the next message starts with Init.
    void Final(std::uint8_t* tag);

private:
    Coder& cipher_;
    std::uint32_t pending_ = 0;
    std::uint8_t pendingBlock_[kMaxBlock] = {};
    std::uint8_t chain_[kMaxBlock] = {};
};

} // namespace qozel
