// Kernel set B/C: SIMD kernels (SSE2 in place of MMX). 1:1 direct rows go four
// pixels at a time; mirrored and stretched rows pixel by pixel with the same
// rules. Byte-wise saturation covers all four bytes, so the top byte of Add
// and Sub saturates too, and AlphaBlt weighs the destination by 256 - f(a).
// Keyed rows compute every pixel and keep the old destination through a
// comparison mask instead of branching.
#include <cstring>

#include "image/SoftPlaneColor.h"
#include "image/SoftPlaneKernelSets.h"
#include "image/SoftPlaneWalk.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define LANTERN_SOFT_SSE2 1
#endif

namespace {

inline uint32_t SatAdd8(uint32_t a, uint32_t b)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t v = softops::Channel(a, shift) + softops::Channel(b, shift);
        out |= (v > 255 ? 255 : v) << shift;
    }
    return out;
}

inline uint32_t SatSub8(uint32_t d, uint32_t s)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t dc = softops::Channel(d, shift);
        uint32_t sc = softops::Channel(s, shift);
        out |= (dc > sc ? dc - sc : 0) << shift;
    }
    return out;
}

#if LANTERN_SOFT_SSE2
inline __m128i Load4(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Row over Vec (four pixels) and the scalar rule for the rest.
template <class Op>
inline void VecRow(const Op& op, uint32_t* d, const uint32_t* s, int n)
{
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        Store4(d + i, op.Vec(Load4(s + i), Load4(d + i)));
    }
    for (; i < n; ++i) {
        d[i] = op(s[i], d[i]);
    }
}

// (x * factor) >> 8 on 16-bit lanes of two widened halves, packed back to bytes.
inline __m128i MulHigh8(__m128i v, __m128i factorLo, __m128i factorHi)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), factorLo), 8);
    __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), factorHi), 8);
    return _mm_packus_epi16(lo, hi);
}
#endif

struct KernelSetB {
    struct Copy : softops::Copy {
        void Row(uint32_t* d, const uint32_t* s, int n) const { std::memmove(d, s, static_cast<size_t>(n) * 4); }
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i) const { return s; }
#endif
    };
    struct Half : softops::Half {
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i d) const
        {
            __m128i half = _mm_and_si128(_mm_srli_epi32(_mm_xor_si128(s, d), 1), _mm_set1_epi32(0x7F7F7F));
            return _mm_add_epi32(_mm_and_si128(s, d), half);
        }
        void Row(uint32_t* d, const uint32_t* s, int n) const { VecRow(*this, d, s, n); }
#endif
    };
    struct Rate : softops::Rate {
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i d) const
        {
            __m128i sr = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(srcRate & 0xFFFFFF)), _mm_setzero_si128());
            __m128i dr = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(dstRate & 0xFFFFFF)), _mm_setzero_si128());
            return _mm_adds_epu8(MulHigh8(s, sr, sr), MulHigh8(d, dr, dr));
        }
        void Row(uint32_t* d, const uint32_t* s, int n) const { VecRow(*this, d, s, n); }
#endif
    };
    struct ClearAlpha : softops::ClearAlpha {
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i) const { return _mm_and_si128(s, _mm_set1_epi32(0xFFFFFF)); }
        void Row(uint32_t* d, const uint32_t* s, int n) const { VecRow(*this, d, s, n); }
#endif
    };
    struct KeepAlpha : softops::KeepAlpha {
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i d) const
        {
            const __m128i colour = _mm_set1_epi32(0xFFFFFF);
            return _mm_or_si128(_mm_and_si128(s, colour), _mm_andnot_si128(colour, d));
        }
        void Row(uint32_t* d, const uint32_t* s, int n) const { VecRow(*this, d, s, n); }
#endif
    };
    struct Add {
        uint32_t operator()(uint32_t s, uint32_t d) const { return SatAdd8(s, d); }
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i d) const { return _mm_adds_epu8(s, d); }
        void Row(uint32_t* d, const uint32_t* s, int n) const { VecRow(*this, d, s, n); }
#endif
    };
    struct Sub {
        uint32_t operator()(uint32_t s, uint32_t d) const { return SatSub8(d, s); }
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i d) const { return _mm_subs_epu8(d, s); }
        void Row(uint32_t* d, const uint32_t* s, int n) const { VecRow(*this, d, s, n); }
#endif
    };
    // f(a) = a (256 at 255), g(a) = 256 - f(a): the weights always add up to 256.
    struct Alpha {
        uint32_t operator()(uint32_t s, uint32_t d) const
        {
            uint32_t a = s >> 24;
            uint32_t f = a == 255 ? 256 : a;
            uint32_t g = 256 - f;
            uint32_t out = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                uint32_t v = ((softops::Channel(s, shift) * f) >> 8) + ((softops::Channel(d, shift) * g) >> 8);
                out |= (v > 255 ? 255 : v) << shift;
            }
            return out;
        }
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i d) const
        {
            const __m128i zero = _mm_setzero_si128();
            __m128i a = _mm_srli_epi32(s, 24);
            __m128i f = _mm_add_epi32(a, _mm_and_si128(_mm_cmpeq_epi32(a, _mm_set1_epi32(255)), _mm_set1_epi32(1)));
            // Each pixel's factor in all four 16-bit lanes of its half.
            __m128i f16 = _mm_or_si128(f, _mm_slli_epi32(f, 16));
            __m128i fLo = _mm_unpacklo_epi32(f16, f16);
            __m128i fHi = _mm_unpackhi_epi32(f16, f16);
            const __m128i full = _mm_set1_epi16(256);
            // The two weights add up to 256, so the 16-bit sums stay below 256.
            __m128i lo = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), fLo), 8),
                                       _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero),
                                                                      _mm_sub_epi16(full, fLo)), 8));
            __m128i hi = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), fHi), 8),
                                       _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero),
                                                                      _mm_sub_epi16(full, fHi)), 8));
            __m128i sum = _mm_packus_epi16(lo, hi);
            return _mm_and_si128(sum, _mm_set1_epi32(0xFFFFFF));
        }
        void Row(uint32_t* d, const uint32_t* s, int n) const { VecRow(*this, d, s, n); }
#endif
    };

    template <class Op>
    struct KeyedOp : softops::Keyed<Op> {
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i d) const
        {
            __m128i keyed = _mm_cmpeq_epi32(s, _mm_set1_epi32(static_cast<int>(this->key)));
            return _mm_or_si128(_mm_and_si128(keyed, d), _mm_andnot_si128(keyed, this->op.Vec(s, d)));
        }
        void Row(uint32_t* d, const uint32_t* s, int n) const { VecRow(*this, d, s, n); }
#endif
    };
    template <class Op>
    struct KeyedRgbOp : softops::KeyedRgb<Op> {
#if LANTERN_SOFT_SSE2
        __m128i Vec(__m128i s, __m128i d) const
        {
            __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(s, _mm_set1_epi32(0xFFFFFF)),
                                            _mm_set1_epi32(static_cast<int>(this->key)));
            return _mm_or_si128(_mm_and_si128(keyed, d), _mm_andnot_si128(keyed, this->op.Vec(s, d)));
        }
        void Row(uint32_t* d, const uint32_t* s, int n) const { VecRow(*this, d, s, n); }
#endif
    };
    template <class Op>
    static KeyedOp<Op> Keyed(Op op, uint32_t key) { return KeyedOp<Op>{{op, key}}; }
    template <class Op>
    static KeyedRgbOp<Op> KeyedRgb(Op op, uint32_t key) { return KeyedRgbOp<Op>{{op, key}}; }
};

}  // namespace

int CSoftPlaneImplB::RunKernel(SoftKernel kernel, bool mirror, CSoftPlaneImpl* src, int x, int y, Rates dstRate,
                               Rates srcRate, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    return RunSoftKernel<KernelSetB>(this, kernel, mirror, src, x, y, dstRate, srcRate, srcRect, dstSize, clip);
}

int CSoftPlaneImplB::AddColor(uint32_t colour, const Rect* rect)
{
    return RunColorKernel(this, KernelSetB::Add{}, colour, rect);
}

int CSoftPlaneImplB::SubColor(uint32_t colour, const Rect* rect)
{
    return RunColorKernel(this, KernelSetB::Sub{}, colour, rect);
}
