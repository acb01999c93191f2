// SSE2 rows of the hot kernels and their scalar twins.
//
// The tables hold floor(a * x / 255) and floor(v * L / 15); the vectors
// compute the same numbers exactly: for 0 <= t <= 65535,
// floor(t / 255) = (t * 0x8081) >> 23, and for 0 <= t <= 63 * 15,
// floor(t / 15) = (t * 4370) >> 16 (the tests run the rows over every
// factor and channel value against the formulas).
#include "raster/Simd.h"

#include <atomic>
#include <cstring>

#include "display/BlendTables.h"
#include "raster/RasterPairs.h"
#include "raster/SaturatingArithmetic.h"
#include "raster/SimdAvx2.h"

#include "raster/SimdMix.h"

namespace raster {

namespace {

bool DetectSse2()
{
#if defined(LANTERN_HAVE_SSE2)
    return __builtin_cpu_supports("sse2");
#else
    return false;
#endif
}

SimdLevel BestLevel()
{
    if (!DetectSse2()) {
        return SimdLevel::kScalar;
    }
    return Avx2Available() ? SimdLevel::kAvx2 : SimdLevel::kSse2;
}

std::atomic<SimdLevel> gLevel{BestLevel()};

// ---- scalar steps (the reference the vectors must equal) ---------------------

void BlendPixel32(uint8_t* d, const uint8_t* s, int a)
{
    MixBytes(d, s, a);
    d[3] = 0;
}

void BlendPixel16(const uint16_t* table, uint8_t* d, const uint8_t* s, int level)
{
    uint16_t sv, dv;
    std::memcpy(&sv, s, 2);
    std::memcpy(&dv, d, 2);
    uint16_t r = MixLevel(table, level, sv, dv);
    std::memcpy(d, &r, 2);
}

void FadePixel32(uint8_t* p, int f, uint8_t byte3)
{
    const uint8_t* row = gMulTable[f];
    p[0] = row[p[0]];
    p[1] = row[p[1]];
    p[2] = row[p[2]];
    p[3] = byte3;
}

#if defined(LANTERN_HAVE_SSE2)

const __m128i kColourMask = _mm_set1_epi32(0x00FFFFFF);
const __m128i kAlphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));

// Four pixels whose weights are all 0 leave the destination's colour (byte 3
// := 0); all 255 (not faded) give the source's colour. Sprites are mostly
// such groups: true when the group was done that way.
template <bool Faded>
inline bool SkipOrCopy4(uint8_t* d, __m128i sv, __m128i dv)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphas = _mm_and_si128(sv, kAlphaMask);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alphas, zero)) == 0xFFFF) {
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(dv, kAlphaMask), zero)) != 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_and_si128(dv, kColourMask));
        }
        return true;
    }
    if (!Faded && _mm_movemask_epi8(_mm_cmpeq_epi32(alphas, kAlphaMask)) == 0xFFFF) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_and_si128(sv, kColourMask));
        return true;
    }
    return false;
}

// Four 32-bit pixels weighted per pixel (PerPixel: by the source's byte 3,
// faded by f) or by a constant; then two more in half a vector when the row
// has them, since the transitions draw many rows of two or three pixels.
template <bool PerPixel, bool Faded>
void MixRow32(uint8_t* d, const uint8_t* s, int count, int a, int& done)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i fa = _mm_set1_epi16(static_cast<short>(a));
    auto mix = [&](__m128i s16, __m128i d16) { return MixWide<PerPixel, Faded>(s16, d16, fa); };
    int i = done;
    for (; i + 4 <= count; i += 4) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4));
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 4));
        if constexpr (PerPixel) {
            if (SkipOrCopy4<Faded>(d + i * 4, sv, dv)) {
                continue;
            }
        }
        __m128i rl = mix(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero));
        __m128i rh = mix(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero));
        __m128i r = _mm_and_si128(_mm_packus_epi16(rl, rh), kColourMask);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), r);
    }
    if (i + 2 <= count) {
        MixPair32<PerPixel, Faded>(d + i * 4, s + i * 4, a);
        i += 2;
    }
    done = i;
}

// Eight 16-bit pixels: each channel of sv scaled by ls / 15 plus each
// channel of dv by ld / 15, truncated separately (x * L * 4370 >> 16 is
// x * L / 15 for the 4-bit levels and 6-bit channels here).
template <bool Is565>
inline __m128i MixLevels16(__m128i sv, __m128i dv, __m128i ls, __m128i ld)
{
    const __m128i div15 = _mm_set1_epi16(4370);
    const __m128i m5 = _mm_set1_epi16(31);
    const __m128i mg = _mm_set1_epi16(Is565 ? 63 : 31);
    constexpr int kRed = Is565 ? 11 : 10;
    auto scale = [&](__m128i ch, __m128i l) { return _mm_mulhi_epu16(_mm_mullo_epi16(ch, l), div15); };
    const __m128i r = _mm_add_epi16(scale(_mm_and_si128(_mm_srli_epi16(sv, kRed), m5), ls),
                                    scale(_mm_and_si128(_mm_srli_epi16(dv, kRed), m5), ld));
    const __m128i g = _mm_add_epi16(scale(_mm_and_si128(_mm_srli_epi16(sv, 5), mg), ls),
                                    scale(_mm_and_si128(_mm_srli_epi16(dv, 5), mg), ld));
    const __m128i b = _mm_add_epi16(scale(_mm_and_si128(sv, m5), ls), scale(_mm_and_si128(dv, m5), ld));
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, kRed), _mm_slli_epi16(g, 5)), b);
}

// Eight 16-bit pixels: each channel of s scaled by L / 15 plus each channel
// of d by (15 - L) / 15, truncated separately.
template <bool Is565>
void LevelRow16(uint8_t* d, const uint8_t* s, int count, int level, int& done)
{
    const __m128i ls = _mm_set1_epi16(static_cast<short>(level));
    const __m128i ld = _mm_set1_epi16(static_cast<short>(15 - level));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 2));
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 2));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 2), MixLevels16<Is565>(sv, dv, ls, ld));
    }
    done = i;
}

// Eight 16-bit pixels in place: each channel scaled by L / 15.
template <bool Is565>
void FadeRow16(uint8_t* p, int count, int level, int& done)
{
    const __m128i l = _mm_set1_epi16(static_cast<short>(level));
    const __m128i div15 = _mm_set1_epi16(4370);
    const __m128i m5 = _mm_set1_epi16(31);
    const __m128i mg = _mm_set1_epi16(Is565 ? 63 : 31);
    constexpr int kRed = Is565 ? 11 : 10;
    auto scale = [&](__m128i ch) { return _mm_mulhi_epu16(_mm_mullo_epi16(ch, l), div15); };
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i * 2));
        __m128i r = scale(_mm_and_si128(_mm_srli_epi16(v, kRed), m5));
        __m128i g = scale(_mm_and_si128(_mm_srli_epi16(v, 5), mg));
        __m128i b = scale(_mm_and_si128(v, m5));
        __m128i out = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, kRed), _mm_slli_epi16(g, 5)), b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i * 2), out);
    }
    done = i;
}

// Eight 16-bit pixels from their 4-bit alpha formats (10 -> 3, 11 -> 4):
// each channel of the source's colour word scaled by its level L / 15 plus
// the destination's by (15 - L) / 15. Level 0 keeps the destination (5-5-5
// without bit 15), 15 takes the source's word (the same): those groups of
// eight skip the arithmetic.
template <bool Is565>
void AlphaLevelRow16(uint8_t* d, const uint8_t* s, int count, int& done)
{
    const __m128i c15 = _mm_set1_epi16(15);
    const __m128i keep = _mm_set1_epi16(static_cast<short>(Is565 ? 0xFFFF : 0x7FFF));
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4));
        const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4 + 16));
        // The low words, kept bit for bit through the signed pack.
        const __m128i sv = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(s0, 16), 16),
                                           _mm_srai_epi32(_mm_slli_epi32(s1, 16), 16));
        const __m128i ls = _mm_and_si128(_mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(s0, 16), _mm_set1_epi32(255)),
                                                         _mm_and_si128(_mm_srli_epi32(s1, 16), _mm_set1_epi32(255))),
                                         c15);
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 2));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(ls, zero)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 2), _mm_and_si128(dv, keep));
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(ls, c15)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 2), _mm_and_si128(sv, keep));
            continue;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 2), MixLevels16<Is565>(sv, dv, ls, _mm_sub_epi16(c15, ls)));
    }
    done = i;
}

// Eight 16-bit pixels in place: channel sums clamped to the channel's top
// (add) or differences clamped at 0 (subtract); 5-5-5 keeps bit 15.
template <bool Is565, bool Sub>
void AddConstRow16(uint8_t* p, int count, uint16_t c, int& done)
{
    const __m128i m5 = _mm_set1_epi16(31);
    const __m128i mg = _mm_set1_epi16(Is565 ? 63 : 31);
    constexpr int kRed = Is565 ? 11 : 10;
    const __m128i cr = _mm_set1_epi16(static_cast<short>((c >> kRed) & 31));
    const __m128i cg = _mm_set1_epi16(static_cast<short>((c >> 5) & (Is565 ? 63 : 31)));
    const __m128i cb = _mm_set1_epi16(static_cast<short>(c & 31));
    const __m128i top = _mm_set1_epi16(static_cast<short>(Is565 ? 0 : 0x8000));
    auto op = [](__m128i v, __m128i k, __m128i max) {
        if constexpr (Sub) return _mm_subs_epu16(v, k);
        else return _mm_min_epi16(_mm_add_epi16(v, k), max);
    };
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i * 2));
        __m128i r = op(_mm_and_si128(_mm_srli_epi16(v, kRed), m5), cr, m5);
        __m128i g = op(_mm_and_si128(_mm_srli_epi16(v, 5), mg), cg, mg);
        __m128i b = op(_mm_and_si128(v, m5), cb, m5);
        __m128i out = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, kRed), _mm_slli_epi16(g, 5)), b);
        out = _mm_or_si128(out, _mm_and_si128(v, top));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i * 2), out);
    }
    done = i;
}

#endif

}  // namespace

bool SimdEnabled() { return gLevel.load(std::memory_order_relaxed) != SimdLevel::kScalar; }

void SetSimdEnabled(bool enabled) { gLevel = enabled ? BestLevel() : SimdLevel::kScalar; }

SimdLevel CurrentSimdLevel() { return gLevel.load(std::memory_order_relaxed); }

SimdLevel SetSimdLevel(SimdLevel level)
{
    const SimdLevel best = BestLevel();
    gLevel = level < best ? level : best;
    return gLevel;
}

void BlendRow32(uint8_t* d, const uint8_t* s, int count, int a)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    if (SimdEnabled()) {
        MixRow32<false, false>(d, s, count, a, i);
    }
#endif
    for (; i < count; ++i) {
        BlendPixel32(d + i * 4, s + i * 4, a);
    }
}

void BlendRow565(uint8_t* d, const uint8_t* s, int count, int level)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    if (SimdEnabled()) {
        LevelRow16<true>(d, s, count, level, i);
    }
#endif
    for (; i < count; ++i) {
        BlendPixel16(gLevelTable565, d + i * 2, s + i * 2, level);
    }
}

void BlendRow555(uint8_t* d, const uint8_t* s, int count, int level)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    if (SimdEnabled()) {
        LevelRow16<false>(d, s, count, level, i);
    }
#endif
    for (; i < count; ++i) {
        BlendPixel16(gLevelTable555, d + i * 2, s + i * 2, level);
    }
}

void AlphaRow32(uint8_t* d, const uint8_t* s, int count)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    const SimdLevel level = CurrentSimdLevel();
    if (level == SimdLevel::kAvx2) {
        AlphaRow32Avx2(d, s, count, 255, false, i);
    }
    if (level != SimdLevel::kScalar) {
        MixRow32<true, false>(d, s, count, 255, i);
    }
#endif
    for (; i < count; ++i) {
        BlendPixel32(d + i * 4, s + i * 4, s[i * 4 + 3]);
    }
}

void AlphaFadeRow32(uint8_t* d, const uint8_t* s, int count, int factor)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    const SimdLevel level = CurrentSimdLevel();
    if (level == SimdLevel::kAvx2) {
        AlphaRow32Avx2(d, s, count, factor, true, i);
    }
    if (level != SimdLevel::kScalar) {
        MixRow32<true, true>(d, s, count, factor, i);
    }
#endif
    for (; i < count; ++i) {
        BlendPixel32(d + i * 4, s + i * 4, gMulTable[s[i * 4 + 3]][factor]);
    }
}

namespace {

template <bool Is565>
void AlphaRow16(uint8_t* d, const uint8_t* s, int count)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    if (SimdEnabled()) {
        AlphaLevelRow16<Is565>(d, s, count, i);
    }
#endif
    for (; i < count; ++i) {
        BlendPixel16(Is565 ? gLevelTable565 : gLevelTable555, d + i * 2, s + i * 4, s[i * 4 + 2] & 15);
    }
}

}  // namespace

void AlphaRow565(uint8_t* d, const uint8_t* s, int count) { AlphaRow16<true>(d, s, count); }

void AlphaRow555(uint8_t* d, const uint8_t* s, int count) { AlphaRow16<false>(d, s, count); }

void FadeRow32(uint8_t* p, int count, int factor, uint8_t byte3)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    if (SimdEnabled()) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i f = _mm_set1_epi16(static_cast<short>(factor));
        const __m128i top = _mm_set1_epi32(static_cast<int>(uint32_t(byte3) << 24));
        for (; i + 4 <= count; i += 4) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i * 4));
            __m128i lo = Div255(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), f));
            __m128i hi = Div255(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), f));
            __m128i r = _mm_or_si128(_mm_and_si128(_mm_packus_epi16(lo, hi), kColourMask), top);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i * 4), r);
        }
    }
#endif
    for (; i < count; ++i) {
        FadePixel32(p + i * 4, factor, byte3);
    }
}

namespace {

// Colour bytes saturate, byte 3 wraps: the packed form's exact result.
template <bool Sub>
void ConstRow32(uint8_t* p, int count, uint32_t c)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    if (SimdEnabled()) {
        const __m128i cv = _mm_set1_epi32(static_cast<int>(c));
        for (; i + 4 <= count; i += 4) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i * 4));
            __m128i sat = Sub ? _mm_subs_epu8(v, cv) : _mm_adds_epu8(v, cv);
            __m128i wrap = Sub ? _mm_sub_epi8(v, cv) : _mm_add_epi8(v, cv);
            __m128i r = _mm_or_si128(_mm_and_si128(sat, kColourMask), _mm_andnot_si128(kColourMask, wrap));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i * 4), r);
        }
    }
#endif
    for (; i < count; ++i) {
        uint32_t v;
        std::memcpy(&v, p + i * 4, 4);
        v = Sub ? SubPacked32(v, c) : AddPacked32(v, c);
        std::memcpy(p + i * 4, &v, 4);
    }
}

}  // namespace

void AddRow32(uint8_t* p, int count, uint32_t c) { ConstRow32<false>(p, count, c); }
void SubRow32(uint8_t* p, int count, uint32_t c) { ConstRow32<true>(p, count, c); }

}  // namespace raster

namespace raster {

namespace {

template <bool Is565>
void FadeRow16Any(uint8_t* p, int count, int level)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    if (SimdEnabled()) {
        FadeRow16<Is565>(p, count, level, i);
    }
#endif
    const uint16_t* table = (Is565 ? gLevelTable565 : gLevelTable555) + (level << 16);
    for (; i < count; ++i) {
        uint16_t v;
        std::memcpy(&v, p + i * 2, 2);
        v = table[v];
        std::memcpy(p + i * 2, &v, 2);
    }
}

template <bool Is565, bool Sub>
void AddRow16Any(uint8_t* p, int count, uint16_t c)
{
    int i = 0;
#if defined(LANTERN_HAVE_SSE2)
    if (SimdEnabled()) {
        AddConstRow16<Is565, Sub>(p, count, c, i);
    }
#endif
    for (; i < count; ++i) {
        uint16_t v;
        std::memcpy(&v, p + i * 2, 2);
        if constexpr (Is565) v = Sub ? SubPacked565(v, c) : AddPacked565(v, c);
        else v = Sub ? SubPacked555(v, c) : AddPacked555(v, c);
        std::memcpy(p + i * 2, &v, 2);
    }
}

}  // namespace

void FadeRow565(uint8_t* p, int count, int level) { FadeRow16Any<true>(p, count, level); }
void FadeRow555(uint8_t* p, int count, int level) { FadeRow16Any<false>(p, count, level); }
void AddRow565(uint8_t* p, int count, uint16_t c) { AddRow16Any<true, false>(p, count, c); }
void SubRow565(uint8_t* p, int count, uint16_t c) { AddRow16Any<true, true>(p, count, c); }
void AddRow555(uint8_t* p, int count, uint16_t c) { AddRow16Any<false, false>(p, count, c); }
void SubRow555(uint8_t* p, int count, uint16_t c) { AddRow16Any<false, true>(p, count, c); }

}  // namespace raster
