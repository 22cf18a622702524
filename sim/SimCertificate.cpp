#include "SimCertificate.h"

#include "SimCrypto.h"

#include <algorithm>

namespace qozel::sim {
namespace {

// The family secret, split into a MAC key and an encryption key.
constexpr std::array<std::uint8_t, 16> kMacKey = {0x5A, 0x31, 0xC2, 0x7E, 0x90, 0x0D, 0x4B, 0xE6,
                                                  0x18, 0xA7, 0x63, 0xF4, 0x2C, 0xD9, 0x85, 0x3B};
constexpr std::array<std::uint8_t, 16> kCipherKey = {0xB4, 0x6F, 0x02, 0x9D, 0x7A, 0xE1, 0x35, 0xC8,
                                                     0x51, 0x8E, 0xF7, 0x24, 0x6B, 0x13, 0xAC, 0x40};

// Body layout.
constexpr std::size_t kClass = 0, kNumber = 1, kTarget = 2, kSignature = 6, kFlags = 10, kIssuer = 12,
                      kUid = 16, kSymbol = 24, kKey = 32;
constexpr std::uint8_t kFlagTemporary = 0x01, kFlagSigned = 0x02;

void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Get32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

Bytes SealCertificate(const CertificateContent& c, std::size_t size)
{
    Bytes out(std::max(size, kMinCertificateSize), 0);
    out[kClass] = c.certClass;
    out[kNumber] = c.number;
    Put32(&out[kTarget], c.targetId);
    Put32(&out[kSignature], c.keySignature);
    out[kFlags] = static_cast<std::uint8_t>((c.temporary ? kFlagTemporary : 0) | (c.signedByTarget ? kFlagSigned : 0));
    Put32(&out[kIssuer], c.issuerId);
    std::copy(c.cardUid.begin(), c.cardUid.end(), out.begin() + kUid);
    std::copy(c.symbol.begin(), c.symbol.end(), out.begin() + kSymbol);
    std::copy(c.key.begin(), c.key.end(), out.begin() + kKey);
    AesEcbEncrypt(kCipherKey,
                  std::span(out).subspan(kKey, c.key.size()));
    const std::size_t tagAt = out.size() - kCertificateTag;
    const Block16 tag = AesCmac(kMacKey, std::span(out).first(tagAt));
    std::copy(tag.begin(), tag.end(), out.begin() + static_cast<std::ptrdiff_t>(tagAt));
    return out;
}

std::optional<CertificateContent> OpenCertificate(std::span<const std::uint8_t> cert)
{
    if (cert.size() < kMinCertificateSize)
        return std::nullopt;
    const std::size_t tagAt = cert.size() - kCertificateTag;
    if (!AesCmacMatches(kMacKey, cert.first(tagAt), cert.subspan(tagAt).first<kCertificateTag>()))
        return std::nullopt;
    CertificateContent c;
    c.certClass = cert[kClass];
    c.number = cert[kNumber];
    c.targetId = Get32(&cert[kTarget]);
    c.keySignature = Get32(&cert[kSignature]);
    c.temporary = (cert[kFlags] & kFlagTemporary) != 0;
    c.signedByTarget = (cert[kFlags] & kFlagSigned) != 0;
    c.issuerId = Get32(&cert[kIssuer]);
    std::copy_n(cert.begin() + kUid, c.cardUid.size(), c.cardUid.begin());
    std::copy_n(cert.begin() + kSymbol, c.symbol.size(), c.symbol.begin());
    std::copy_n(cert.begin() + kKey, c.key.size(), c.key.begin());
    AesEcbDecrypt(kCipherKey, c.key);
    return c;
}

std::optional<CertificateContent> OpenCertificateFor(std::span<const std::uint8_t> cert, std::uint32_t deviceId,
                                                     std::size_t size)
{
    if (cert.size() != size)
        return std::nullopt;
    auto content = OpenCertificate(cert);
    if (!content || content->targetId != deviceId)
        return std::nullopt;
    return content;
}

std::array<std::uint8_t, 16> DeriveCertificateKey(std::span<const std::uint8_t, 32> masterKey, std::uint8_t certClass,
                                                  std::uint8_t number)
{
    // CMAC keyed with the first half of the master key over the second half
    // and the certificate's class and number.
    Bytes message(masterKey.begin() + 16, masterKey.end());
    message.push_back(certClass);
    message.push_back(number);
    return AesCmac(masterKey.first<16>(), message);
}

} // namespace qozel::sim
