#pragma once

#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/SecureMemory.h"
#include "security/OsRandom.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qozel {

inline constexpr const char* kGrainSufficientText = "Poziom losowości ziarna już jest wystarczający.";
inline constexpr const char* kGrainTooLowText =
    "Wygenerowanie wystarczająco losowego klucza będzie możliwe\n"
    "dopiero po uzyskaniu odpowiedniego poziomu losowości Ziarna.\n"
    "\n"
    " Możesz to zrobić klikając w losowe pozycje w polu w okienku 'Ziarno'.";

// What the installation key tab changes after a click in the grain field.
struct GrainFieldUpdate {
    std::string grainFirstHalf;             // bytes 0-31, 64 upper-case hex digits
    std::string grainSecondHalf;            // bytes 32-63
    std::optional<int> indicatorPosition;   // nothing once the grain is sufficient
    bool showSufficientLabel = false;       // the first label becomes kGrainSufficientText
};

// The entropy pool fed by the installer's mouse clicks and the installation
// master key generated from it. One lives as long as the main window.
class KeyGrain {
public:
    static constexpr int kIndicatorMax = 64;
    static constexpr std::size_t kGrainSize = 64;
    static constexpr std::size_t kKeySize = 32;

    // Fills its bytes from a source of randomness; throws when it has none.
    using RandomSource = void (*)(std::span<std::uint8_t> out);

    explicit KeyGrain(Clock& clock) noexcept : clock_(clock) {}

    // The operating system's source unless another is given (tests).
    void UseRandomSource(RandomSource source) noexcept { random_ = source; }

    // Mixes one click at (x, y) in the field's client coordinates and the low
    // 16 bits of the microsecond counter into the grain; returns the new level.
    int MixClick(int x, int y);
    // A mouse button pressed in the grain field: mixes the click and says
    // what the tab shows now.
    GrainFieldUpdate ClickInField(int x, int y);

    // Generates the master key once the level suffices: the double SHA-256
    // of the grain, the counter's low 32 bits and 32 random bytes. Otherwise
    // shows the information box and returns false. Throws when the random
    // source has nothing to give.
    bool GenerateKey(Prompts& prompts);
    // After the key was stored: wipes it and clears `generated`.
    void ForgetKey() noexcept;

    const SecretBytes<kGrainSize>& grain() const noexcept { return grain_; }
    const SecretBytes<kKeySize>& key() const noexcept { return key_; }
    int level() const noexcept { return level_; }
    bool generated() const noexcept { return generated_; }
    std::uint32_t signature() const noexcept { return signature_; }
    // Set when the level first reached the indicator's maximum; never cleared.
    bool grainSufficient() const noexcept { return grainSufficient_; }

private:
    Clock& clock_;
    RandomSource random_ = OsRandom;
    SecretBytes<kGrainSize> grain_;
    std::uint8_t mix_[4] = {};
    int level_ = 0;
    SecretBytes<kKeySize> key_;
    bool generated_ = false;
    std::uint32_t signature_ = 0;
    bool grainSufficient_ = false;
};

} // namespace qozel
