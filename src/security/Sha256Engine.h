#pragma once

#include <cstddef>
#include <cstdint>

namespace qozel {

// The SHA-256 compression function: portable code, the same code built for
// the BMI2 rotate instructions, and the SHA extension instructions. The
// fastest one the CPU offers is chosen at start-up; all give the same result.
enum class Sha256Engine { Portable, PortableBmi2, ShaExtensions };
// Slowest first.
inline constexpr Sha256Engine kAllSha256Engines[] = {Sha256Engine::Portable, Sha256Engine::PortableBmi2,
                                                     Sha256Engine::ShaExtensions};
const char* Sha256EngineName(Sha256Engine engine) noexcept;

bool Sha256EngineAvailable(Sha256Engine engine) noexcept;
Sha256Engine ActiveSha256Engine() noexcept;
// Switches the compression every Sha256 uses from now on (tests and
// benchmarks compare the two); false, with nothing changed, when unavailable.
bool SelectSha256Engine(Sha256Engine engine) noexcept;

using Sha256CompressFn = void (*)(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) noexcept;
namespace detail {
// The active engine's function; read on every block, so reached without a call.
extern Sha256CompressFn activeSha256Compress;
} // namespace detail

// Compresses `blocks` consecutive 64-byte blocks into `state` with the active engine.
inline void Sha256CompressBlocks(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) noexcept
{
    detail::activeSha256Compress(state, data, blocks);
}

// The engines themselves.
void Sha256CompressPortable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) noexcept;
void Sha256CompressPortableBmi2(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) noexcept;
void Sha256CompressShaExtensions(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) noexcept;

// The FIPS 180-4 round constants.
extern const std::uint32_t kSha256RoundConstants[64];

} // namespace qozel
