#pragma once

#include <cstdint>

namespace qozel {

// A block cipher keyed elsewhere: encrypts or decrypts one block in place.
// Instances are local values; nobody deletes one through this base, hence
// the protected non-virtual destructor.
class Coder {
public:
    virtual void EncryptBlock(std::uint8_t* block) = 0;
    virtual void DecryptBlock(std::uint8_t* block) = 0;

    std::uint32_t blockSize;

protected:
    explicit Coder(std::uint32_t blockSizeBytes) noexcept : blockSize(blockSizeBytes) {}
    Coder(const Coder&) = default;
    Coder& operator=(const Coder&) = default;
    ~Coder() = default;
};

} // namespace qozel
