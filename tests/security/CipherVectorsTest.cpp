// Published known-answer vectors: FIPS-197 appendix C, RFC 4493.
#include "Hex.h"
#include "security/AES128.h"
#include "security/Cmac.h"

#include <gtest/gtest.h>

#include <array>

namespace qozel {
namespace {

using test::FromHex;
using test::ToHex;

struct AesCase {
    int nk, nr;
    const char* key;
    const char* cipher;
};

TEST(AesVectors, Fips197AppendixCAllKeyLengths)
{
    const auto plain = FromHex("00112233445566778899aabbccddeeff");
    const AesCase cases[] = {
        {4, 10, "000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {6, 12, "000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {8, 14, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
         "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const auto& c : cases) {
        AES aes(c.nk, c.nr);
        aes.SetKey(FromHex(c.key).data());
        auto block = plain;
        aes.EncryptBlock(block.data());
        EXPECT_EQ(ToHex(block), c.cipher) << "Nk=" << c.nk;
        aes.DecryptBlock(block.data());
        EXPECT_EQ(block, plain) << "Nk=" << c.nk;
    }
}

TEST(AesVectors, Aes128IsTheFourWordTenRoundCipher)
{
    AES128 aes;
    EXPECT_EQ(aes.blockSize, 16u);
    aes.SetKey(FromHex("000102030405060708090a0b0c0d0e0f").data());
    auto block = FromHex("00112233445566778899aabbccddeeff");
    aes.EncryptBlock(block.data());
    EXPECT_EQ(ToHex(block), "69c4e0d86a7b0430d8cdb78070b4c55a");
}

TEST(AesVectors, NonStandardParametersAreRejected)
{
    EXPECT_THROW(AES(4, 14), std::invalid_argument);
    EXPECT_THROW(AES(5, 11), std::invalid_argument);
    EXPECT_THROW(AES(16, 22), std::invalid_argument);   // would overrun the schedule
}

constexpr const char* kRfc4493Message =
    "6bc1bee22e409f96e93d7e117393172a ae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52ef f69f2445df4f9b17ad2b417be66c3710";

std::string Tag(Cmac& mac, const std::vector<std::uint8_t>& message, std::size_t length)
{
    std::array<std::uint8_t, 16> tag{};
    mac.Init();
    mac.Update(message.data(), length);
    mac.Final(tag.data());
    return ToHex(tag);
}

TEST(CmacVectors, Rfc4493AllFourExamples)
{
    AES128 aes;
    aes.SetKey(FromHex("2b7e151628aed2a6abf7158809cf4f3c").data());
    Cmac mac(aes);
    const auto message = FromHex(kRfc4493Message);
    EXPECT_EQ(Tag(mac, message, 0), "bb1d6929e95937287fa37d129b756746");    // K2 path, empty
    EXPECT_EQ(Tag(mac, message, 16), "070a16b46b4d4144f79bdd9dd04a287c");   // K1 path
    EXPECT_EQ(Tag(mac, message, 40), "dfa66747de9ae63030ca32611497c827");   // K2 path
    EXPECT_EQ(Tag(mac, message, 64), "51f0bebf7e3b9d92fc49741779363cfe");   // K1 path
}

TEST(CmacVectors, PiecesAndReuseGiveTheOneCallResult)
{
    AES128 aes;
    aes.SetKey(FromHex("2b7e151628aed2a6abf7158809cf4f3c").data());
    Cmac mac(aes);
    const auto message = FromHex(kRfc4493Message);
    // Every split point of the 64-byte example, with zero-length pieces around it.
    for (std::size_t split = 0; split <= 64; ++split) {
        std::array<std::uint8_t, 16> tag{};
        mac.Init();
        mac.Update(message.data(), 0);
        mac.Update(message.data(), split);
        mac.Update(message.data() + split, 0);
        mac.Update(message.data() + split, 64 - split);
        mac.Final(tag.data());
        EXPECT_EQ(ToHex(tag), "51f0bebf7e3b9d92fc49741779363cfe") << "split " << split;
    }
    // Byte by byte, 40 bytes, after a Final of another message on the same object.
    std::array<std::uint8_t, 16> tag{};
    mac.Init();
    for (std::size_t i = 0; i < 40; ++i)
        mac.Update(message.data() + i, 1);
    mac.Final(tag.data());
    EXPECT_EQ(ToHex(tag), "dfa66747de9ae63030ca32611497c827");
}

TEST(CmacVectors, FinalLeavesTheStateForAnotherFinal)
{
    AES128 aes;
    aes.SetKey(FromHex("2b7e151628aed2a6abf7158809cf4f3c").data());
    Cmac mac(aes);
    const auto message = FromHex(kRfc4493Message);
    std::array<std::uint8_t, 16> first{}, second{};
    mac.Init();
    mac.Update(message.data(), 40);
    mac.Final(first.data());
    mac.Final(second.data());
    EXPECT_EQ(first, second);
}

} // namespace
} // namespace qozel
