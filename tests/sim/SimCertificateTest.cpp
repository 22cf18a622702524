#include "SimCertificate.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qozel::sim {
namespace {

CertificateContent SampleContent()
{
    CertificateContent c;
    c.certClass = 1;
    c.number = 21;
    c.targetId = 0x0306'0042;
    c.issuerId = 0x0500'0007;
    c.keySignature = 0x6553F100;
    c.temporary = true;
    c.cardUid = {1, 2, 3, 4, 5, 6, 7, 8};
    c.symbol = {'Q', 'O', 'Z', 'E', 'L', 0, 0, 0};
    for (std::size_t i = 0; i < c.key.size(); ++i)
        c.key[i] = static_cast<std::uint8_t>(0xA0 + i);
    return c;
}

TEST(SimCertificate, SealedContentOpensUnchangedAtEachSize)
{
    const CertificateContent content = SampleContent();
    for (std::size_t size : {80u, 112u}) {
        const Bytes cert = SealCertificate(content, size);
        ASSERT_EQ(cert.size(), size);
        const auto opened = OpenCertificate(cert);
        ASSERT_TRUE(opened);
        EXPECT_EQ(*opened, content);
    }
}

TEST(SimCertificate, KeyMaterialIsNotCarriedInPlain)
{
    const CertificateContent content = SampleContent();
    const Bytes cert = SealCertificate(content, 80);
    EXPECT_EQ(std::search(cert.begin(), cert.end(), content.key.begin(), content.key.begin() + 8), cert.end());
}

TEST(SimCertificate, AnyAlteredByteIsRejected)
{
    const Bytes cert = SealCertificate(SampleContent(), 80);
    for (std::size_t i = 0; i < cert.size(); ++i) {
        Bytes altered = cert;
        altered[i] ^= 0x01;
        EXPECT_FALSE(OpenCertificate(altered)) << "byte " << i;
    }
    EXPECT_FALSE(OpenCertificate(std::span(cert).first(79)));
}

TEST(SimCertificate, OpensForItsTargetOnlyAndAtTheExpectedSize)
{
    const CertificateContent content = SampleContent();
    const Bytes cert = SealCertificate(content, 80);
    EXPECT_TRUE(OpenCertificateFor(cert, content.targetId, 80));
    EXPECT_FALSE(OpenCertificateFor(cert, content.targetId + 1, 80));
    EXPECT_FALSE(OpenCertificateFor(cert, content.targetId, 112));
}

TEST(SimCertificate, DerivedKeysDependOnMasterKeyAndNumber)
{
    std::array<std::uint8_t, 32> master{};
    master[0] = 1;
    std::array<std::uint8_t, 32> other = master;
    other[31] = 1;
    EXPECT_EQ(DeriveCertificateKey(master, 0, 18), DeriveCertificateKey(master, 0, 18));
    EXPECT_NE(DeriveCertificateKey(master, 0, 18), DeriveCertificateKey(master, 0, 19));
    EXPECT_NE(DeriveCertificateKey(master, 0, 18), DeriveCertificateKey(other, 0, 18));
}

} // namespace
} // namespace qozel::sim
