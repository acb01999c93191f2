#pragma once
// The SSE2 arithmetic of the 32-bit mixing rows, inline so that the piece
// kernels of the transitions (pieces of two pixels by two rows) can mix a
// pair of pixels without a call. Equal to the scalar steps: for
// 0 <= t <= 65535, floor(t / 255) = (t * 0x8081) >> 23.
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(__x86_64__)
#include <emmintrin.h>
#define LANTERN_HAVE_SSE2 1

namespace raster {

[[gnu::always_inline]] inline __m128i Div255(__m128i t)
{
    return _mm_srli_epi16(_mm_mulhi_epu16(t, _mm_set1_epi16(static_cast<short>(0x8081))), 7);
}

// MUL[w][s] + INV[w][d] per 16-bit lane, w and 255 - w given per lane.
[[gnu::always_inline]] inline __m128i Mix16(__m128i s, __m128i d, __m128i w, __m128i iw)
{
    return _mm_add_epi16(Div255(_mm_mullo_epi16(s, w)), Div255(_mm_mullo_epi16(d, iw)));
}

[[gnu::always_inline]] inline __m128i AlphaOf(__m128i lanes)
{
    // Broadcast lane 3 (and 7): each pixel's byte 3 across its four lanes.
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(lanes, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}

// Two pixels widened to 16-bit lanes, weighted per pixel (PerPixel: by the
// source's byte 3, faded by a) or by the constant a.
template <bool PerPixel, bool Faded>
[[gnu::always_inline]] inline __m128i MixWide(__m128i s16, __m128i d16, __m128i fa)
{
    __m128i w = fa;
    if constexpr (PerPixel) {
        w = AlphaOf(s16);
        if constexpr (Faded) {
            w = Div255(_mm_mullo_epi16(w, fa));
        }
    }
    return Mix16(s16, d16, w, _mm_sub_epi16(_mm_set1_epi16(255), w));
}

// Two 32-bit pixels mixed in half a vector; byte 3 := 0.
template <bool PerPixel, bool Faded>
[[gnu::always_inline]] inline void MixPair32(uint8_t* d, const uint8_t* s, int a)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i sv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s));
    const __m128i dv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d));
    const __m128i rl = MixWide<PerPixel, Faded>(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero),
                                                _mm_set1_epi16(static_cast<short>(a)));
    const __m128i r = _mm_and_si128(_mm_packus_epi16(rl, zero), _mm_set1_epi32(0x00FFFFFF));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d), r);
}

// Four 32-bit pixels mixed in one vector; byte 3 := 0.
template <bool PerPixel, bool Faded>
[[gnu::always_inline]] inline __m128i MixFourOf32(__m128i sv, __m128i dv, int a)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i fa = _mm_set1_epi16(static_cast<short>(a));
    const __m128i rl = MixWide<PerPixel, Faded>(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero), fa);
    const __m128i rh = MixWide<PerPixel, Faded>(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero), fa);
    return _mm_and_si128(_mm_packus_epi16(rl, rh), _mm_set1_epi32(0x00FFFFFF));
}

template <bool PerPixel, bool Faded>
[[gnu::always_inline]] inline void MixFour32(uint8_t* d, const uint8_t* s, int a)
{
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), MixFourOf32<PerPixel, Faded>(sv, dv, a));
}

// The same for the pixels whose lane of keep is 0; a pixel whose lane is all
// ones keeps every byte (the column wipes draw every other or every fourth
// pixel of a row).
template <bool PerPixel, bool Faded>
[[gnu::always_inline]] inline void MixFour32Masked(uint8_t* d, const uint8_t* s, int a, __m128i keep)
{
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const __m128i mixed = MixFourOf32<PerPixel, Faded>(sv, dv, a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                     _mm_or_si128(_mm_and_si128(keep, dv), _mm_andnot_si128(keep, mixed)));
}

// Two pairs of 32-bit pixels (a 2 x 2 block: d0/s0 one row, d1/s1 the
// next) mixed in one vector; byte 3 := 0.
template <bool PerPixel, bool Faded>
[[gnu::always_inline]] inline void MixQuad32(uint8_t* d0, uint8_t* d1, const uint8_t* s0, const uint8_t* s1, int a)
{
    const __m128i sv = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s0)),
                                          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s1)));
    const __m128i dv = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d0)),
                                          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d1)));
    const __m128i r = MixFourOf32<PerPixel, Faded>(sv, dv, a);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d0), r);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d1), _mm_unpackhi_epi64(r, r));
}

// The same as MixQuad32, but the destination is read and written a pixel at
// a time: a 2 x 2 block one column off the one drawn just before it and
// overlapping it (a turned grid's neighbours) would otherwise read eight
// bytes half over that block's eight-byte stores, which the processor cannot
// forward and waits out (a block in the same columns reads whole stores,
// which forward).
template <bool PerPixel, bool Faded>
[[gnu::always_inline]] inline void MixQuad32Narrow(uint8_t* d0, uint8_t* d1, const uint8_t* s0, const uint8_t* s1, int a)
{
    const auto load = [](const uint8_t* p) {
        int32_t v;
        std::memcpy(&v, p, 4);
        return _mm_cvtsi32_si128(v);
    };
    const auto store = [](uint8_t* p, __m128i v) {
        const int32_t x = _mm_cvtsi128_si32(v);
        std::memcpy(p, &x, 4);
    };
    const __m128i sv = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s0)),
                                          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s1)));
    const __m128i dv = _mm_unpacklo_epi64(_mm_unpacklo_epi32(load(d0), load(d0 + 4)),
                                          _mm_unpacklo_epi32(load(d1), load(d1 + 4)));
    const __m128i r = MixFourOf32<PerPixel, Faded>(sv, dv, a);
    store(d0, r);
    store(d0 + 4, _mm_srli_si128(r, 4));
    store(d1, _mm_srli_si128(r, 8));
    store(d1 + 4, _mm_srli_si128(r, 12));
}

}  // namespace raster

#endif
