#include "security/KeyGrain.h"

#include "security/OsRandom.h"
#include "security/Sha256d.h"
#include "security/Sha512.h"

#include <algorithm>

namespace qozel {

namespace {

std::string UpperHex(const std::uint8_t* data, std::size_t size)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * size);
    for (std::size_t i = 0; i < size; ++i) {
        text += kDigits[data[i] >> 4];
        text += kDigits[data[i] & 15];
    }
    return text;
}

} // namespace

int KeyGrain::MixClick(int x, int y)
{
    const std::uint64_t counter = clock_.Microseconds();
    // Converting to an unsigned byte is the arithmetic modulo 256.
    mix_[0] = static_cast<std::uint8_t>(x - 2);
    mix_[1] = static_cast<std::uint8_t>(y - 2);
    mix_[2] = static_cast<std::uint8_t>(counter);
    mix_[3] = static_cast<std::uint8_t>(counter >> 8);

    Sha512 sha;
    sha.Init();
    sha.Update(grain_.data(), grain_.size());
    sha.Update(mix_, sizeof mix_);
    sha.Final(grain_.data());
    level_ += 4;
    return level_;
}

GrainFieldUpdate KeyGrain::ClickInField(int x, int y)
{
    GrainFieldUpdate update;
    const int level = MixClick(x, y);
    update.grainFirstHalf = UpperHex(grain_.data(), kGrainSize / 2);
    update.grainSecondHalf = UpperHex(grain_.data() + kGrainSize / 2, kGrainSize / 2);
    if (grainSufficient_)
        return update;
    if (level >= kIndicatorMax) {
        update.showSufficientLabel = true;
        grainSufficient_ = true;
    }
    update.indicatorPosition = std::min(level, kIndicatorMax);
    return update;
}

bool KeyGrain::GenerateKey(Prompts& prompts)
{
    if (level_ < kIndicatorMax) {
        prompts.ShowInfoMsg(kGrainTooLowText);
        return false;
    }
    const std::uint64_t counter = clock_.Microseconds();
    for (int i = 0; i < 4; ++i)
        mix_[i] = static_cast<std::uint8_t>(counter >> (8 * i));
    // The system's random source keeps the key unpredictable even if the
    // clicks and the counter were guessed.
    SecretBytes<32> osRandom;
    random_(osRandom.span());

    Sha256d sha;
    sha.Init();
    sha.Update(grain_.data(), grain_.size());
    sha.Update(mix_, sizeof mix_);
    sha.Update(osRandom.data(), osRandom.size());
    sha.Final(key_.data());
    signature_ = clock_.UtcSeconds();
    generated_ = true;
    return true;
}

void KeyGrain::ForgetKey() noexcept
{
    key_.Wipe();
    generated_ = false;
}

} // namespace qozel
