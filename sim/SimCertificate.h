#pragma once

#include "SimFrame.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qozel::sim {

// What a certificate of the simulated device family says. The family's
// devices share a secret in their firmware: certificates are authenticated
// with AES-CMAC under it and their key material is encrypted with it, so a
// PC can carry them but neither read nor forge them.
struct CertificateContent {
    std::uint8_t certClass = 0;
    std::uint8_t number = 0;
    std::uint32_t targetId = 0;      // the device the certificate is meant for
    std::uint32_t issuerId = 0;      // the device that issued it
    std::uint32_t keySignature = 0;  // signature of the master key behind it
    bool temporary = false;          // the master key behind it is temporary
    bool signedByTarget = false;     // countersigned by the target device
    std::array<std::uint8_t, 8> cardUid{};  // backup certificates: the card they belong to
    std::array<std::uint8_t, 8> symbol{};   // backup certificates: company/installation symbol
    std::array<std::uint8_t, 32> key{};     // key material (a derived key, or the master key)

    friend bool operator==(const CertificateContent&, const CertificateContent&) = default;
};

// Bytes of the content; a certificate is at least this long plus the tag.
inline constexpr std::size_t kCertificateBody = 64;
inline constexpr std::size_t kCertificateTag = 16;
inline constexpr std::size_t kMinCertificateSize = kCertificateBody + kCertificateTag;

// A certificate of `size` bytes (>= kMinCertificateSize): body, zero filler, tag.
Bytes SealCertificate(const CertificateContent& content, std::size_t size);

// The content when `certificate` is authentic (any size from kMinCertificateSize).
std::optional<CertificateContent> OpenCertificate(std::span<const std::uint8_t> certificate);

// As OpenCertificate, and only when the certificate is meant for `deviceId`
// and is `size` bytes long: what a device checks before using one.
std::optional<CertificateContent> OpenCertificateFor(std::span<const std::uint8_t> certificate,
                                                     std::uint32_t deviceId, std::size_t size);

// The 16-byte key the Arkan derives from the master key for certificate
// (`certClass`, `number`); two devices loaded from one master key share it.
std::array<std::uint8_t, 16> DeriveCertificateKey(std::span<const std::uint8_t, 32> masterKey,
                                                  std::uint8_t certClass, std::uint8_t number);

} // namespace qozel::sim
