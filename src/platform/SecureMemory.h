#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// Overwrites memory with zeros in a way the optimiser may not remove.
void SecureWipe(void* data, std::size_t size) noexcept;

inline void SecureWipe(std::span<std::uint8_t> bytes) noexcept
{
    SecureWipe(bytes.data(), bytes.size());
}

// Clears a buffer that held key material when it goes out of scope, also on
// an exception. Only the first `covered` bytes are cleared: a buffer that is
// filled piecemeal widens that range with Cover, so clearing costs no more than
// what was put into it.
class ScopedWipe {
public:
    explicit ScopedWipe(std::span<std::uint8_t> buffer) noexcept : ScopedWipe(buffer, buffer.size()) {}
    ScopedWipe(std::span<std::uint8_t> buffer, std::size_t covered) noexcept
        : buffer_(buffer), covered_(std::min(covered, buffer.size()))
    {
    }
    ScopedWipe(const ScopedWipe&) = delete;
    ScopedWipe& operator=(const ScopedWipe&) = delete;
    ~ScopedWipe() { Wipe(); }

    // Extends the cleared range to the first `size` bytes (never shrinks it).
    void Cover(std::size_t size) noexcept { covered_ = std::max(covered_, std::min(size, buffer_.size())); }
    // Clears the covered bytes now; nothing is covered afterwards.
    void Wipe() noexcept
    {
        SecureWipe(buffer_.first(covered_));
        covered_ = 0;
    }

private:
    std::span<std::uint8_t> buffer_;
    std::size_t covered_;
};

// A fixed-size buffer of key material that wipes itself when it goes away.
template <std::size_t N>
struct SecretBytes {
    std::array<std::uint8_t, N> bytes{};

    SecretBytes() = default;
    SecretBytes(const SecretBytes&) = default;
    SecretBytes& operator=(const SecretBytes&) = default;
    ~SecretBytes() { SecureWipe(bytes.data(), N); }

    void Wipe() noexcept { SecureWipe(bytes.data(), N); }
    std::uint8_t* data() noexcept { return bytes.data(); }
    const std::uint8_t* data() const noexcept { return bytes.data(); }
    static constexpr std::size_t size() noexcept { return N; }
    std::span<std::uint8_t, N> span() noexcept { return bytes; }
    std::span<const std::uint8_t, N> span() const noexcept { return bytes; }
    std::uint8_t& operator[](std::size_t i) noexcept { return bytes[i]; }
    const std::uint8_t& operator[](std::size_t i) const noexcept { return bytes[i]; }
    friend bool operator==(const SecretBytes&, const SecretBytes&) = default;
};

// 20 bytes of Windows-1250 text padded with zeros, as typed into a password dialog.
using PasswordField = SecretBytes<20>;
// A 16-byte AES key.
using Key16 = SecretBytes<16>;

} // namespace qozel
