#include "security/Sha256Engine.h"

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)

#include <immintrin.h>

namespace qozel {

// Compiled for the SHA extensions only in this function; it runs only when
// the CPU reports them (Sha256Engine.cpp).
__attribute__((target("sha,sse4.1,ssse3")))
void Sha256CompressShaExtensions(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) noexcept
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    // The instructions keep the state as the word pairs ABEF and CDGH.
    __m128i tmp = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    __m128i cdgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    __m128i abef = _mm_alignr_epi8(tmp, cdgh, 8);
    cdgh = _mm_blend_epi16(cdgh, tmp, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefStart = abef;
        const __m128i cdghStart = cdgh;
        __m128i w[4];
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group) {
            __m128i& msg = w[group & 3];
            if (group < 4) {
                msg = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * group)), byteSwap);
            } else {
                // W[t..t+3] from W[t-16..t-1], held as the four previous groups.
                const __m128i& prev1 = w[(group - 1) & 3];
                const __m128i& prev2 = w[(group - 2) & 3];
                msg = _mm_sha256msg1_epu32(msg, w[(group - 3) & 3]);
                msg = _mm_add_epi32(msg, _mm_alignr_epi8(prev1, prev2, 4));
                msg = _mm_sha256msg2_epu32(msg, prev1);
            }
            __m128i wk = _mm_add_epi32(msg, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSha256RoundConstants + 4 * group)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
            wk = _mm_shuffle_epi32(wk, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, wk);
        }
        abef = _mm_add_epi32(abef, abefStart);
        cdgh = _mm_add_epi32(cdgh, cdghStart);
    }

    tmp = _mm_shuffle_epi32(abef, 0x1B);
    cdgh = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(tmp, cdgh, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(cdgh, tmp, 8));
}

} // namespace qozel

#else

namespace qozel {

// Without the instructions this engine is never selected; keep it correct anyway.
void Sha256CompressShaExtensions(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) noexcept
{
    Sha256CompressPortable(state, data, blocks);
}

} // namespace qozel

#endif
