#include "security/Sha256Engine.h"

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define QOZEL_SHA256_X86 1
#include <cpuid.h>
#endif

namespace qozel {

const std::uint32_t kSha256RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

namespace {

using CompressFn = Sha256CompressFn;

[[gnu::always_inline]] constexpr std::uint32_t Rotr(std::uint32_t x, int n) noexcept
{
    return (x >> n) | (x << (32 - n));
}

#if defined(QOZEL_SHA256_X86)
// Asked of CPUID itself: clang's __builtin_cpu_supports does not know "sha".
bool CpuHasShaInstructions() noexcept
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_SHA) != 0;
}
#endif

bool CpuHas(Sha256Engine engine) noexcept
{
#if defined(QOZEL_SHA256_X86)
    switch (engine) {
    case Sha256Engine::Portable:
        return true;
    case Sha256Engine::PortableBmi2:
        return __builtin_cpu_supports("bmi2");
    case Sha256Engine::ShaExtensions:
        return CpuHasShaInstructions() && __builtin_cpu_supports("sse4.1");
    }
    return false;
#else
    return engine == Sha256Engine::Portable;
#endif
}

CompressFn EngineFunction(Sha256Engine engine) noexcept
{
    switch (engine) {
    case Sha256Engine::PortableBmi2:
        return Sha256CompressPortableBmi2;
    case Sha256Engine::ShaExtensions:
        return Sha256CompressShaExtensions;
    case Sha256Engine::Portable:
        break;
    }
    return Sha256CompressPortable;
}

Sha256Engine BestEngine() noexcept
{
    // The engines are listed slowest first.
    Sha256Engine best = Sha256Engine::Portable;
    for (const Sha256Engine engine : kAllSha256Engines)
        if (CpuHas(engine))
            best = engine;
    return best;
}

Sha256Engine activeEngine = Sha256Engine::Portable;

} // namespace

// Constant-initialised, so that hashing works even before the start-up
// selection below has run; the user-interface thread is the only user.
Sha256CompressFn detail::activeSha256Compress = Sha256CompressPortable;

namespace {
[[maybe_unused]] const bool bestSelected = SelectSha256Engine(BestEngine());
} // namespace

const char* Sha256EngineName(Sha256Engine engine) noexcept
{
    switch (engine) {
    case Sha256Engine::PortableBmi2:
        return "portable-bmi2";
    case Sha256Engine::ShaExtensions:
        return "sha-extensions";
    case Sha256Engine::Portable:
        break;
    }
    return "portable";
}

bool Sha256EngineAvailable(Sha256Engine engine) noexcept
{
    return CpuHas(engine);
}

Sha256Engine ActiveSha256Engine() noexcept
{
    return activeEngine;
}

bool SelectSha256Engine(Sha256Engine engine) noexcept
{
    if (!Sha256EngineAvailable(engine))
        return false;
    activeEngine = engine;
    detail::activeSha256Compress = EngineFunction(engine);
    return true;
}


namespace {

[[gnu::always_inline]] inline std::uint32_t LoadBe32(const std::uint8_t* p) noexcept
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// One round; the callers rotate the names of the eight working variables
// instead of moving their values.
[[gnu::always_inline]] inline void Round(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t& d, std::uint32_t e,
                  std::uint32_t f, std::uint32_t g, std::uint32_t& h, std::uint32_t kw) noexcept
{
    // The nested rotations give the same sums with fewer register copies.
    const std::uint32_t bigSigma1 = Rotr(Rotr(Rotr(e, 14) ^ e, 5) ^ e, 6);     // e>>>6 ^ e>>>11 ^ e>>>25
    const std::uint32_t bigSigma0 = Rotr(Rotr(Rotr(a, 9) ^ a, 11) ^ a, 2);     // a>>>2 ^ a>>>13 ^ a>>>22
    const std::uint32_t t1 = h + bigSigma1 + (g ^ (e & (f ^ g))) + kw;
    const std::uint32_t t2 = bigSigma0 + ((a & b) | (c & (a | b)));
    d += t1;
    h = t1 + t2;
}

// The message schedule in a ring of 16 words: W[t] for t >= 16, in place of W[t-16].
[[gnu::always_inline]] inline std::uint32_t Schedule(std::uint32_t* w, int t) noexcept
{
    const std::uint32_t w15 = w[(t - 15) & 15], w2 = w[(t - 2) & 15];
    const std::uint32_t s0 = Rotr(w15, 7) ^ Rotr(w15, 18) ^ (w15 >> 3);
    const std::uint32_t s1 = Rotr(w2, 17) ^ Rotr(w2, 19) ^ (w2 >> 10);
    return w[t & 15] += s0 + w[(t - 7) & 15] + s1;
}

// The portable compression, inlined into each build of it below.
[[gnu::always_inline]] inline void CompressBlocks(std::uint32_t* state, const std::uint8_t* data,
                                                  std::size_t blocks) noexcept
{
    for (; blocks > 0; --blocks, data += 64) {
        std::uint32_t w[16];
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        const std::uint32_t* k = kSha256RoundConstants;
#pragma GCC unroll 2
        for (int t = 0; t < 16; t += 8) {
            for (int i = 0; i < 8; ++i)
                w[t + i] = LoadBe32(data + 4 * (t + i));
            Round(a, b, c, d, e, f, g, h, k[t] + w[t]);
            Round(h, a, b, c, d, e, f, g, k[t + 1] + w[t + 1]);
            Round(g, h, a, b, c, d, e, f, k[t + 2] + w[t + 2]);
            Round(f, g, h, a, b, c, d, e, k[t + 3] + w[t + 3]);
            Round(e, f, g, h, a, b, c, d, k[t + 4] + w[t + 4]);
            Round(d, e, f, g, h, a, b, c, k[t + 5] + w[t + 5]);
            Round(c, d, e, f, g, h, a, b, k[t + 6] + w[t + 6]);
            Round(b, c, d, e, f, g, h, a, k[t + 7] + w[t + 7]);
        }
#pragma GCC unroll 6
        for (int t = 16; t < 64; t += 8) {
            Round(a, b, c, d, e, f, g, h, k[t] + Schedule(w, t));
            Round(h, a, b, c, d, e, f, g, k[t + 1] + Schedule(w, t + 1));
            Round(g, h, a, b, c, d, e, f, k[t + 2] + Schedule(w, t + 2));
            Round(f, g, h, a, b, c, d, e, k[t + 3] + Schedule(w, t + 3));
            Round(e, f, g, h, a, b, c, d, k[t + 4] + Schedule(w, t + 4));
            Round(d, e, f, g, h, a, b, c, k[t + 5] + Schedule(w, t + 5));
            Round(c, d, e, f, g, h, a, b, k[t + 6] + Schedule(w, t + 6));
            Round(b, c, d, e, f, g, h, a, k[t + 7] + Schedule(w, t + 7));
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

} // namespace

void Sha256CompressPortable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) noexcept
{
    CompressBlocks(state, data, blocks);
}

// The same code where the three-operand rotate of BMI2 is available; it
// spares the register copies that the rotations of each round otherwise need.
#if defined(QOZEL_SHA256_X86)
__attribute__((target("bmi2")))
#endif
void Sha256CompressPortableBmi2(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) noexcept
{
    CompressBlocks(state, data, blocks);
}

} // namespace qozel
