// The entropy grain and the master key generation.
#include "Hex.h"
#include "ScriptedPrompts.h"
#include "VirtualClock.h"
#include "security/KeyGrain.h"

#include <gtest/gtest.h>
#include <openssl/sha.h>

namespace qozel {
namespace {

using sim::ScriptedPrompts;
using sim::VirtualClock;

// SHA-512 of grain || mix, computed with libcrypto.
std::array<std::uint8_t, 64> ExpectedGrain(const KeyGrain& before, std::uint8_t m0, std::uint8_t m1, std::uint16_t counter)
{
    std::uint8_t message[68];
    std::copy(before.grain().bytes.begin(), before.grain().bytes.end(), message);
    message[64] = m0;
    message[65] = m1;
    message[66] = static_cast<std::uint8_t>(counter);
    message[67] = static_cast<std::uint8_t>(counter >> 8);
    std::array<std::uint8_t, 64> out{};
    SHA512(message, sizeof message, out.data());
    return out;
}

TEST(KeyGrain, ClickMixesPositionAndCounterLowBits)
{
    VirtualClock clock;
    KeyGrain grain(clock);
    clock.AdvanceUs(0x12345678);
    // x = 1 wraps to mix byte 255, y = 258 wraps to 0; only the counter's low 16 bits count.
    auto expected = ExpectedGrain(grain, 255, 0, 0x5678);
    EXPECT_EQ(grain.MixClick(1, 258), 4);
    EXPECT_EQ(grain.grain().bytes, expected);

    clock.AdvanceUs(1);
    expected = ExpectedGrain(grain, 0, 255, 0x5679);
    EXPECT_EQ(grain.MixClick(258, 1), 8);
    EXPECT_EQ(grain.grain().bytes, expected);

    clock.AdvanceUs(0x10000);   // the same low 16 bits again
    expected = ExpectedGrain(grain, 0xFE, 0x00, 0x5679);
    grain.MixClick(-256, 2);   // negative positions wrap too: (-258) modulo 256 = 0xFE
    EXPECT_EQ(grain.grain().bytes, expected);
}

TEST(KeyGrain, SixteenthClickFillsTheIndicatorAndChangesTheLabelOnce)
{
    VirtualClock clock;
    KeyGrain grain(clock);
    for (int click = 1; click <= 15; ++click) {
        clock.AdvanceUs(137);
        const GrainFieldUpdate update = grain.ClickInField(10 + click, 20);
        EXPECT_EQ(update.indicatorPosition, 4 * click);
        EXPECT_FALSE(update.showSufficientLabel);
        EXPECT_FALSE(grain.grainSufficient());
    }
    const GrainFieldUpdate sixteenth = grain.ClickInField(5, 5);
    EXPECT_EQ(sixteenth.indicatorPosition, 64);
    EXPECT_TRUE(sixteenth.showSufficientLabel);
    EXPECT_TRUE(grain.grainSufficient());

    std::string shownBefore = sixteenth.grainFirstHalf + sixteenth.grainSecondHalf;
    for (int click = 17; click <= 20; ++click) {
        clock.AdvanceUs(3);
        const GrainFieldUpdate later = grain.ClickInField(7, click);
        EXPECT_FALSE(later.indicatorPosition.has_value());
        EXPECT_FALSE(later.showSufficientLabel);
        EXPECT_NE(later.grainFirstHalf + later.grainSecondHalf, shownBefore);   // still mixing
        shownBefore = later.grainFirstHalf + later.grainSecondHalf;
    }
    EXPECT_EQ(grain.level(), 80);
}

TEST(KeyGrain, GrainIsShownAsTwoHalvesOfUpperCaseHex)
{
    VirtualClock clock;
    KeyGrain grain(clock);
    const GrainFieldUpdate update = grain.ClickInField(100, 100);
    std::string all = test::ToHex(grain.grain().bytes);
    for (char& ch : all)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(update.grainFirstHalf, all.substr(0, 64));
    EXPECT_EQ(update.grainSecondHalf, all.substr(64));
}

TEST(KeyGrain, GenerationNeedsSixteenClicks)
{
    VirtualClock clock;
    ScriptedPrompts prompts;
    KeyGrain grain(clock);
    for (int click = 0; click < 15; ++click)
        grain.MixClick(click, click);
    EXPECT_FALSE(grain.GenerateKey(prompts));
    EXPECT_FALSE(grain.generated());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Info);
    EXPECT_EQ(prompts.shown[0].text, kGrainTooLowText);

    grain.MixClick(1, 1);
    EXPECT_TRUE(grain.GenerateKey(prompts));
    EXPECT_TRUE(grain.generated());
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST(KeyGrain, EachGenerationGivesANewKeySignedWithItsTime)
{
    VirtualClock clock(0x6500'0000);
    ScriptedPrompts prompts;
    KeyGrain grain(clock);
    for (int click = 0; click < 16; ++click)
        grain.MixClick(click, 2 * click);
    const auto grainBefore = grain.grain();

    clock.AdvanceMs(2500);
    ASSERT_TRUE(grain.GenerateKey(prompts));
    const auto first = grain.key();
    EXPECT_EQ(grain.signature(), 0x6500'0002u);
    // No click and no time in between: the key still differs.
    ASSERT_TRUE(grain.GenerateKey(prompts));
    EXPECT_NE(grain.key(), first);
    EXPECT_EQ(grain.grain(), grainBefore);
    EXPECT_EQ(grain.level(), 64);

    grain.ForgetKey();
    EXPECT_FALSE(grain.generated());
    EXPECT_EQ(grain.key(), SecretBytes<32>{});
}

void FixedRandom(std::span<std::uint8_t> out)
{
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>(0xA0 + i);
}

void NoRandom(std::span<std::uint8_t>)
{
    throw std::runtime_error("no entropy");
}

TEST(KeyGrain, KeyIsDoubleSha256OfGrainCounterAndRandomBytes)
{
    VirtualClock clock;
    ScriptedPrompts prompts;
    KeyGrain grain(clock);
    grain.UseRandomSource(FixedRandom);
    for (int click = 0; click < 16; ++click)
        grain.MixClick(click, 3 * click);
    clock.AdvanceUs(0x1'8765'4321);   // only the counter's low 32 bits count

    std::uint8_t message[64 + 4 + 32];
    std::copy(grain.grain().bytes.begin(), grain.grain().bytes.end(), message);
    const std::uint8_t counter[] = {0x21, 0x43, 0x65, 0x87};
    std::copy(std::begin(counter), std::end(counter), message + 64);
    FixedRandom(std::span(message + 68, 32));
    std::array<std::uint8_t, 32> once{}, twice{};
    SHA256(message, sizeof message, once.data());
    SHA256(once.data(), once.size(), twice.data());

    ASSERT_TRUE(grain.GenerateKey(prompts));
    EXPECT_EQ(grain.key().bytes, twice);

    grain.ForgetKey();
    grain.UseRandomSource(NoRandom);
    EXPECT_THROW(grain.GenerateKey(prompts), std::runtime_error);
    EXPECT_FALSE(grain.generated());
}

} // namespace
} // namespace qozel
