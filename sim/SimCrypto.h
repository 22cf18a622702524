#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace qozel::sim {

// AES-128 building blocks of the simulated devices' firmware, done by OpenSSL
// (libgcrypt in the Windows build) so that they are independent of the
// product's own cipher code.
using Block16 = std::array<std::uint8_t, 16>;

// AES-128 CMAC tag of `data` under `key`.
Block16 AesCmac(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t> data);
// Whether `tag` is the CMAC tag of `data`, compared in constant time as a device would.
bool AesCmacMatches(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t> data,
                    std::span<const std::uint8_t, 16> tag);

// AES-128 in ECB mode over whole blocks, in place (data.size() a multiple of 16).
void AesEcbEncrypt(std::span<const std::uint8_t, 16> key, std::span<std::uint8_t> data);
void AesEcbDecrypt(std::span<const std::uint8_t, 16> key, std::span<std::uint8_t> data);

} // namespace qozel::sim
