// FIPS 180-4 vectors and the padding boundaries, for every SHA-256 engine.
#include "Hex.h"
#include "security/Sha256.h"
#include "security/Sha256Engine.h"
#include "security/Sha256d.h"
#include "security/Sha512.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace qozel {
namespace {

using test::ToHex;

std::string Digest(Hash& hash, std::string_view message)
{
    std::array<std::uint8_t, 64> out{};
    hash.Init();
    hash.Update(reinterpret_cast<const std::uint8_t*>(message.data()), message.size());
    hash.Final(out.data());
    return ToHex(out.data(), hash.digestSize);
}

// Runs each SHA-256 test once per engine this CPU has, and restores the default.
class Sha256EngineTest : public ::testing::TestWithParam<Sha256Engine> {
protected:
    void SetUp() override
    {
        if (!Sha256EngineAvailable(GetParam()))
            GTEST_SKIP() << "CPU lacks " << Sha256EngineName(GetParam());
        ASSERT_TRUE(SelectSha256Engine(GetParam()));
    }
    // Also runs after a skip, so the engine in force is remembered up front.
    void TearDown() override { SelectSha256Engine(saved_); }

private:
    const Sha256Engine saved_ = ActiveSha256Engine();
};

TEST(Sha256Dispatch, StartsOnTheFastestEngineTheCpuOffers)
{
    Sha256Engine fastest = Sha256Engine::Portable;
    for (const auto engine : kAllSha256Engines)
        if (Sha256EngineAvailable(engine))
            fastest = engine;
    EXPECT_EQ(Sha256EngineName(ActiveSha256Engine()), std::string(Sha256EngineName(fastest)));
}

TEST_P(Sha256EngineTest, Fips180Vectors)
{
    Sha256 sha;
    EXPECT_EQ(Digest(sha, ""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Digest(sha, "abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Digest(sha, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST_P(Sha256EngineTest, PaddingBoundaries)
{
    const std::pair<std::size_t, const char*> cases[] = {
        {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {65, "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
    };
    Sha256 sha;   // one object, reused: Init must forget the previous message
    for (const auto& [length, digest] : cases)
        EXPECT_EQ(Digest(sha, std::string(length, 'a')), digest) << length << " bytes";
}

TEST_P(Sha256EngineTest, MillionAInUnevenPieces)
{
    const std::string chunk(997, 'a');
    Sha256 sha;
    sha.Init();
    std::size_t left = 1'000'000;
    for (std::size_t piece = 1; left > 0; piece = piece * 7 % 997) {
        const std::size_t n = std::min(piece, left);
        sha.Update(reinterpret_cast<const std::uint8_t*>(chunk.data()), n);
        left -= n;
    }
    std::array<std::uint8_t, 32> out{};
    sha.Final(out.data());
    EXPECT_EQ(ToHex(out), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST_P(Sha256EngineTest, DoubleShaIsShaOfTheDigest)
{
    Sha256d twice;
    EXPECT_EQ(Digest(twice, "hello"), "9595c9df90075148eb06860365df33584b75bff782a510c6cd4883a419833d50");
    // Against two single passes, across a multi-block message, and on reuse.
    Sha256 once;
    const std::string message(200, 'x');
    std::array<std::uint8_t, 32> inner{}, outer{};
    once.Init();
    once.Update(reinterpret_cast<const std::uint8_t*>(message.data()), message.size());
    once.Final(inner.data());
    once.Init();
    once.Update(inner.data(), inner.size());
    once.Final(outer.data());
    EXPECT_EQ(Digest(twice, message), ToHex(outer));
}

INSTANTIATE_TEST_SUITE_P(Engines, Sha256EngineTest, ::testing::ValuesIn(kAllSha256Engines),
                         [](const auto& info) {
                             std::string name = Sha256EngineName(info.param);
                             std::erase(name, '-');
                             return name;
                         });

TEST(Sha512Vectors, Fips180Vectors)
{
    Sha512 sha;
    EXPECT_EQ(Digest(sha, ""), "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
                               "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e");
    EXPECT_EQ(Digest(sha, "abc"), "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
                                  "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f");
    EXPECT_EQ(Digest(sha, "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopq"
                          "klmnopqrlmnopqrsmnopqrstnopqrstu"),
              "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
              "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909");
}

TEST(Sha512Vectors, PaddingBoundaries)
{
    const std::pair<std::size_t, const char*> cases[] = {
        {111, "fa9121c7b32b9e01733d034cfc78cbf67f926c7ed83e82200ef86818196921760b4beff48404df811b953828274461673c68d04e297b0eb7b2b4d60fc6b566a2"},
        {112, "c01d080efd492776a1c43bd23dd99d0a2e626d481e16782e75d54c2503b5dc32bd05f0f1ba33e568b88fd2d970929b719ecbb152f58f130a407c8830604b70ca"},
        {127, "828613968b501dc00a97e08c73b118aa8876c26b8aac93df128502ab360f91bab50a51e088769a5c1eff4782ace147dce3642554199876374291f5d921629502"},
        {128, "b73d1929aa615934e61a871596b3f3b33359f42b8175602e89f7e06e5f658a243667807ed300314b95cacdd579f3e33abdfbe351909519a846d465c59582f321"},
    };
    Sha512 sha;
    for (const auto& [length, digest] : cases)
        EXPECT_EQ(Digest(sha, std::string(length, 'a')), digest) << length << " bytes";
}

} // namespace
} // namespace qozel
