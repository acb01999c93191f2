// The AVX2 twins of the 32-bit alpha rows in Simd.cpp: the same arithmetic
// on eight pixels. Only the functions marked for AVX2 use it; this file
// includes no header whose inline functions could be compiled for AVX2 and
// then shared with code that runs without it.
#include "raster/SimdAvx2.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace raster {

namespace {

#define LANTERN_AVX2 __attribute__((target("avx2")))

LANTERN_AVX2 inline __m256i Div255(__m256i t)
{
    return _mm256_srli_epi16(_mm256_mulhi_epu16(t, _mm256_set1_epi16(static_cast<short>(0x8081))), 7);
}

// v with byte 3 of each pixel := 0 (the same mask as the alpha tests use,
// so that the loops hold one constant for both).
LANTERN_AVX2 inline __m256i ColourOf(__m256i v)
{
    return _mm256_andnot_si256(_mm256_set1_epi32(static_cast<int>(0xFF000000u)), v);
}

// The source alphas of the pixels that unpacklo (High: unpackhi) widens,
// each across its pixel's four 16-bit lanes: one byte shuffle of the packed
// pixels where the two word shuffles of the widened ones take two turns of
// the shuffle port, which the mix keeps busiest.
template <bool High>
LANTERN_AVX2 inline __m256i WideAlphas(__m256i sv)
{
    constexpr char a = High ? 11 : 3, b = High ? 15 : 7, z = -128;  // z: the byte becomes 0
    return _mm256_shuffle_epi8(sv, _mm256_setr_epi8(a, z, a, z, a, z, a, z, b, z, b, z, b, z, b, z,  //
                                                    a, z, a, z, a, z, a, z, b, z, b, z, b, z, b, z));
}

// MUL[w][s] + INV[w][d] on two pixels per 128-bit lane, widened to 16 bits;
// w: their source alphas from WideAlphas.
template <bool Faded>
LANTERN_AVX2 inline __m256i Mix(__m256i s16, __m256i d16, __m256i w, __m256i fa)
{
    if constexpr (Faded) {
        w = Div255(_mm256_mullo_epi16(w, fa));
    }
    const __m256i iw = _mm256_sub_epi16(_mm256_set1_epi16(255), w);
    return _mm256_add_epi16(Div255(_mm256_mullo_epi16(s16, w)), Div255(_mm256_mullo_epi16(d16, iw)));
}

// Eight pixels mixed; byte 3 := 0. unpack and pack work within each 128-bit
// lane, so the pixel order comes back as it went in.
template <bool Faded>
LANTERN_AVX2 inline __m256i MixEight(__m256i sv, __m256i dv, __m256i fa)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i rl =
        Mix<Faded>(_mm256_unpacklo_epi8(sv, zero), _mm256_unpacklo_epi8(dv, zero), WideAlphas<false>(sv), fa);
    const __m256i rh =
        Mix<Faded>(_mm256_unpackhi_epi8(sv, zero), _mm256_unpackhi_epi8(dv, zero), WideAlphas<true>(sv), fa);
    return ColourOf(_mm256_packus_epi16(rl, rh));
}

// Eight pixels, or the first few of them whose bytes are set in realBytes (a
// byte mask, as _mm256_movemask_epi8 gives; sv and dv are 0 past them):
// false when the destination stays as it is, else *out is what it becomes.
// byte 3 := 0. The all-opaque test is a byte mask and a compare rather than
// a vptest: vptest is two operations, one of them on the shuffle port, which
// the mix keeps busiest when every group is mixed.
template <bool Faded>
LANTERN_AVX2 inline bool MixGroup(__m256i sv, __m256i dv, __m256i fa, uint32_t realBytes, __m256i* out)
{
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    if (_mm256_testz_si256(sv, alpha)) {
        // All clear: the destination's colour.
        *out = ColourOf(dv);
        return !_mm256_testz_si256(dv, alpha);
    }
    const __m256i opaque = _mm256_cmpeq_epi32(_mm256_and_si256(sv, alpha), alpha);
    if (!Faded && (static_cast<uint32_t>(_mm256_movemask_epi8(opaque)) & realBytes) == realBytes) {
        *out = ColourOf(sv);
    } else {
        *out = MixEight<Faded>(sv, dv, fa);
    }
    return true;
}

template <bool Faded>
LANTERN_AVX2 void Row(uint8_t* d, const uint8_t* s, int count, int factor, int& done)
{
    const __m256i fa = _mm256_set1_epi16(static_cast<short>(factor));
    int i = done;
    for (; i + 8 <= count; i += 8) {
        __m256i out;
        if (MixGroup<Faded>(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i * 4)),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i * 4)), fa, ~0u, &out)) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i * 4), out);
        }
    }
    if (i < count) {
        // The last few pixels through masks, not one by one: small pictures
        // (stars, cursors, glyphs) are mostly such tails, and the scalar
        // steps would read the blend tables, which are cold between frames.
        const __m256i real = _mm256_cmpgt_epi32(_mm256_set1_epi32(count - i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        __m256i out;
        if (MixGroup<Faded>(_mm256_maskload_epi32(reinterpret_cast<const int*>(s + i * 4), real),
                            _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i * 4), real), fa,
                            static_cast<uint32_t>(_mm256_movemask_epi8(real)), &out)) {
            _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i * 4), real, out);
        }
        i = count;
    }
    done = i;
}

template <bool Faded>
LANTERN_AVX2 void Quads(uint8_t* const* dsts, const uint8_t* const* srcs, int count, intptr_t dstPitch,
                        intptr_t srcPitch, int factor)
{
    const __m256i fa = _mm256_set1_epi16(static_cast<short>(factor));
    for (int k = 0; k < count; ++k) {
        // Row 0 of the group in the low lane, row 1 in the high one; each
        // group is stored before the next is read, as they may overlap.
        const uint8_t* s = srcs[k];
        uint8_t* d = dsts[k];
        const __m256i sv =
            _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s))),
                                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + srcPitch)), 1);
        const __m256i dv =
            _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d))),
                                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + dstPitch)), 1);
        const __m256i r = MixEight<Faded>(sv, dv, fa);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(r));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + dstPitch), _mm256_extracti128_si256(r, 1));
    }
}

}  // namespace

bool Avx2Available()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

void AlphaRow32Avx2(uint8_t* d, const uint8_t* s, int count, int factor, bool faded, int& done)
{
    if (faded) {
        Row<true>(d, s, count, factor, done);
    } else {
        Row<false>(d, s, count, factor, done);
    }
}

void AlphaQuads32Avx2(uint8_t* const* dsts, const uint8_t* const* srcs, int count, intptr_t dstPitch,
                      intptr_t srcPitch, int factor, bool faded)
{
    if (faded) {
        Quads<true>(dsts, srcs, count, dstPitch, srcPitch, factor);
    } else {
        Quads<false>(dsts, srcs, count, dstPitch, srcPitch, factor);
    }
}

}  // namespace raster

#else

namespace raster {

bool Avx2Available() { return false; }

void AlphaRow32Avx2(uint8_t*, const uint8_t*, int, int, bool, int&) {}

void AlphaQuads32Avx2(uint8_t* const*, const uint8_t* const*, int, intptr_t, intptr_t, int, bool) {}

}  // namespace raster

#endif
