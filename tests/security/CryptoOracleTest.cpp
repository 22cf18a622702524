// Thousands of random inputs, fed in random pieces, against libcrypto.
#include "Hex.h"
#include "OpenSslOracle.h"
#include "security/AES128.h"
#include "security/Cmac.h"
#include "security/Sha256.h"
#include "security/Sha256Engine.h"
#include "security/Sha512.h"

#include <gtest/gtest.h>

#include <random>

namespace qozel {
namespace {

using test::ToHex;

class RandomInput {
public:
    explicit RandomInput(std::uint32_t seed) : rng_(seed) {}

    std::vector<std::uint8_t> Bytes(std::size_t n)
    {
        std::vector<std::uint8_t> v(n);
        for (auto& b : v)
            b = static_cast<std::uint8_t>(rng_());
        return v;
    }
    std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

    // Calls feed(pointer, length) over the message in random pieces; about a
    // quarter of the pieces are empty, and some are many blocks long.
    template <typename Feed>
    void InPieces(const std::vector<std::uint8_t>& message, Feed feed)
    {
        std::size_t at = 0;
        while (at < message.size()) {
            std::size_t n = Below(4) == 0 ? 0 : 1 + Below(Below(2) ? 20 : 300);
            n = std::min(n, message.size() - at);
            feed(message.data() + at, n);
            at += n;
        }
        feed(message.data() + at, 0);
    }

private:
    std::mt19937 rng_;
};

TEST(CryptoOracle, Aes128EncryptsAndDecryptsLikeLibcrypto)
{
    RandomInput in(1);
    for (int i = 0; i < 2000; ++i) {
        const auto key = in.Bytes(16);
        const auto plain = in.Bytes(16);
        AES128 aes;
        aes.SetKey(key.data());
        auto block = plain;
        aes.EncryptBlock(block.data());
        ASSERT_EQ(ToHex(block), ToHex(test::OpenSslAesEncrypt(key.data(), plain.data()))) << "case " << i;
        aes.DecryptBlock(block.data());
        ASSERT_EQ(block, plain) << "case " << i;
    }
}

TEST(CryptoOracle, CmacInPiecesAgreesWithLibcrypto)
{
    RandomInput in(2);
    for (int i = 0; i < 3000; ++i) {
        const auto key = in.Bytes(16);
        const auto message = in.Bytes(in.Below(i < 200 ? 70 : 1500));
        AES128 aes;
        aes.SetKey(key.data());
        Cmac mac(aes);
        mac.Init();
        in.InPieces(message, [&](const std::uint8_t* p, std::size_t n) { mac.Update(p, n); });
        std::array<std::uint8_t, 16> tag{};
        mac.Final(tag.data());
        ASSERT_EQ(ToHex(tag), ToHex(test::OpenSslCmac(key.data(), message.data(), message.size())))
            << "case " << i << ", " << message.size() << " bytes";
    }
}

template <typename Ours>
void CompareHash(std::uint32_t seed, const EVP_MD* md)
{
    RandomInput in(seed);
    Ours hash;   // one object for every message: Init must start afresh
    for (int i = 0; i < 3000; ++i) {
        const auto message = in.Bytes(in.Below(i < 500 ? 300 : 3000));
        hash.Init();
        in.InPieces(message, [&](const std::uint8_t* p, std::size_t n) { hash.Update(p, n); });
        std::array<std::uint8_t, 64> ours{}, theirs{};
        hash.Final(ours.data());
        unsigned n = 0;
        ASSERT_EQ(EVP_Digest(message.data(), message.size(), theirs.data(), &n, md, nullptr), 1);
        ASSERT_EQ(n, hash.digestSize);
        ASSERT_EQ(ToHex(ours.data(), n), ToHex(theirs.data(), n)) << "case " << i << ", " << message.size() << " bytes";
    }
}

TEST(CryptoOracle, Sha256InPiecesAgreesWithLibcryptoOnEveryEngine)
{
    const Sha256Engine saved = ActiveSha256Engine();
    for (const auto engine : kAllSha256Engines) {
        if (!SelectSha256Engine(engine))
            continue;
        SCOPED_TRACE(Sha256EngineName(engine));
        CompareHash<Sha256>(3, EVP_sha256());
    }
    SelectSha256Engine(saved);
}

TEST(CryptoOracle, Sha512InPiecesAgreesWithLibcrypto)
{
    CompareHash<Sha512>(4, EVP_sha512());
}

TEST(CryptoOracle, EnginesAgreeOnLongRunsOfBlocks)
{
    if (!Sha256EngineAvailable(Sha256Engine::ShaExtensions) || !Sha256EngineAvailable(Sha256Engine::PortableBmi2))
        GTEST_SKIP() << "CPU lacks the SHA extensions or BMI2";
    RandomInput in(5);
    for (int i = 0; i < 200; ++i) {
        const std::size_t blocks = 1 + in.Below(40);
        const auto data = in.Bytes(64 * blocks);
        std::uint32_t a[8], b[8], c[8];
        for (int w = 0; w < 8; ++w)
            a[w] = b[w] = c[w] = static_cast<std::uint32_t>(in.Below(1u << 31)) * 2 + (w & 1);
        Sha256CompressPortable(a, data.data(), blocks);
        Sha256CompressPortableBmi2(b, data.data(), blocks);
        Sha256CompressShaExtensions(c, data.data(), blocks);
        ASSERT_TRUE(std::equal(a, a + 8, b)) << "case " << i;
        ASSERT_TRUE(std::equal(a, a + 8, c)) << "case " << i;
    }
}

} // namespace
} // namespace qozel
