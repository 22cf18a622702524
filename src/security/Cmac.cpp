#include "security/Cmac.h"

#include "platform/SecureMemory.h"

#include <cstring>

namespace qozel {

namespace {

// Doubling in GF(2^n): shift the block left by one bit, fold the carry back
// with the block size's constant.
void Double(const std::uint8_t* in, std::uint8_t* out, std::uint32_t size) noexcept
{
    const std::uint8_t rb = size == 16 ? 0x87 : 0x1B;
    const bool carry = (in[0] & 0x80) != 0;
    for (std::uint32_t i = 0; i + 1 < size; ++i)
        out[i] = static_cast<std::uint8_t>((in[i] << 1) | (in[i + 1] >> 7));
    out[size - 1] = static_cast<std::uint8_t>(in[size - 1] << 1);
    if (carry)
        out[size - 1] ^= rb;
}

} // namespace

Cmac::~Cmac()
{
    SecureWipe(pendingBlock_, sizeof pendingBlock_);
    SecureWipe(chain_, sizeof chain_);
    pending_ = 0;
}

void Cmac::Init() noexcept
{
    std::memset(chain_, 0, sizeof chain_);
    pending_ = 0;
}

void Cmac::Update(const std::uint8_t* data, std::size_t length)
{
    const std::uint32_t size = cipher_.blockSize;
    if (pending_ > 0 && size - pending_ < length) {
        const std::uint32_t take = size - pending_;
        std::memcpy(pendingBlock_ + pending_, data, take);
        for (std::uint32_t i = 0; i < size; ++i)
            chain_[i] ^= pendingBlock_[i];
        cipher_.EncryptBlock(chain_);
        pending_ = 0;
        data += take;
        length -= take;
    }
    // A block is only chained once more input follows it.
    while (length > size) {
        for (std::uint32_t i = 0; i < size; ++i)
            chain_[i] ^= data[i];
        cipher_.EncryptBlock(chain_);
        data += size;
        length -= size;
    }
    if (length > 0)
        std::memcpy(pendingBlock_ + pending_, data, length);
    pending_ += static_cast<std::uint32_t>(length);
}

void Cmac::Final(std::uint8_t* tag)
{
    const std::uint32_t size = cipher_.blockSize;
    std::uint8_t l[kMaxBlock] = {};
    std::uint8_t subkey[kMaxBlock];
    std::uint8_t last[kMaxBlock];
    cipher_.EncryptBlock(l);
    Double(l, subkey, size);
    if (pending_ == size) {
        std::memcpy(last, pendingBlock_, size);
    } else {
        std::memcpy(l, subkey, size);
        Double(l, subkey, size);
        std::memcpy(last, pendingBlock_, pending_);
        last[pending_] = 0x80;
        std::memset(last + pending_ + 1, 0, size - pending_ - 1);
    }
    for (std::uint32_t i = 0; i < size; ++i)
        tag[i] = chain_[i] ^ last[i] ^ subkey[i];
    cipher_.EncryptBlock(tag);
    SecureWipe(l, sizeof l);
    SecureWipe(subkey, sizeof subkey);
    SecureWipe(last, sizeof last);
}

} // namespace qozel
