// The alpha-channel operations: CFastPlane::MakeAlphaFromPlane (and its
// rectangle form) writes an alpha channel from another plane's colour
// through a ramp; CFastPlane::AlphaPlaneBltFast copies colour between alpha
// planes keeping the destination's alpha; CFastPlane::PatternBlendBlt is an
// empty slot.
#include <array>
#include <cstdint>

#include "display/FastPlane.h"
#include "display/PlaneLock.h"
#include "raster/AlphaRamp.h"

namespace {

using Ramp = std::array<uint8_t, 256>;

// The ramp index of a source pixel: its blue channel on the 8-bit scale.
template <class S>
inline int RampKey(const uint8_t* s)
{
    if constexpr (S::kBytes == 2 || S::kAlpha == 4) return (s[0] << 3) & 0xFF;
    else if constexpr (S::kRed == 0) return s[2];
    else return s[0];
}

template <class D, class S>
int MakeAlphaPlanes(CFastPlane& dst, CFastPlane& src, int x, int y, const Ramp& ramp, const Rect* srcRect,
                    const Size* dstSize, const Rect* clip)
{
    const uint8_t* table = ramp.data();
    WalkPlanes<D::kBytes, S::kBytes>(dst, src, x, y, srcRect, dstSize, clip,
                                     [table](uint8_t* d, const uint8_t* s) {
                                         // Levels of 10 / 11 are the top four bits of the alpha.
                                         if constexpr (D::kAlpha == 4) d[2] = static_cast<uint8_t>(table[RampKey<S>(s)] >> 4);
                                         else d[3] = table[RampKey<S>(s)];
                                     },
                                     nullptr);
    return kPlaneDone;
}

int NoAlpha(CFastPlane&, CFastPlane&, int, int, const Ramp&, const Rect*, const Size*, const Rect*)
{
    return kPlaneDone;
}

using MakeAlphaFn = int (*)(CFastPlane&, CFastPlane&, int, int, const Ramp&, const Rect*, const Size*, const Rect*);

// An alpha destination with its own format or its screen format as source;
// every other pair draws nothing and answers done.
constexpr PairTable<MakeAlphaFn> kMakeAlphaKernels(&NoAlpha, [](auto d, auto s, MakeAlphaFn* slot) {
    using D = decltype(d);
    using S = decltype(s);
    if constexpr (pixfmt::IsAlphaFormat(D::kCode) &&
                  (D::kCode == S::kCode || pixfmt::IsCrossPair(S::kCode, D::kCode))) {
        *slot = &MakeAlphaPlanes<D, S>;
    }
});

template <class F>
int AlphaPlanePlanes(CFastPlane& dst, CFastPlane& src, int x, int y, const Rect* srcRect, const Size* dstSize,
                     const Rect* clip)
{
    WalkPlanes<4, 4>(dst, src, x, y, srcRect, dstSize, clip,
                     [](uint8_t* d, const uint8_t* s) {
                         // The colour only: the word of 10 / 11, bytes 0-2 of 12 / 13.
                         d[0] = s[0];
                         d[1] = s[1];
                         if constexpr (F::kAlpha == 8) d[2] = s[2];
                     },
                     nullptr);
    return kPlaneDone;
}

template <int Result>
int Answer(CFastPlane&, CFastPlane&, int, int, const Rect*, const Size*, const Rect*)
{
    return Result;
}

using AlphaPlaneFn = int (*)(CFastPlane&, CFastPlane&, int, int, const Rect*, const Size*, const Rect*);

// Equal alpha formats draw; other equal codes answer 3, unequal ones 2.
constexpr PairTable<AlphaPlaneFn> kAlphaPlaneKernels(&Answer<kPlaneFormatPair>, [](auto d, auto s, AlphaPlaneFn* slot) {
    using D = decltype(d);
    using S = decltype(s);
    if constexpr (D::kCode == S::kCode) {
        if constexpr (pixfmt::IsAlphaFormat(D::kCode)) *slot = &AlphaPlanePlanes<D>;
        else *slot = &Answer<3>;
    }
});

}  // namespace

int CFastPlane::MakeAlphaFromPlaneRect(CFastPlane* src, int rampStart, int rampEnd, int startValue, int endValue,
                                       const Rect* rect)
{
    // The same area of both planes.
    if (rect == nullptr) {
        return MakeAlphaFromPlane(src, rampStart, rampEnd, startValue, endValue, 0, 0);
    }
    return MakeAlphaFromPlane(src, rampStart, rampEnd, startValue, endValue, rect->left, rect->top, rect);
}

int CFastPlane::MakeAlphaFromPlane(CFastPlane* src, int rampStart, int rampEnd, int startValue, int endValue, int x,
                                   int y, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    Ramp ramp;
    BuildAlphaRamp(ramp.data(), rampStart, rampEnd, startValue, endValue);
    return DrawPair(kMakeAlphaKernels, this, src, x, y, ramp, srcRect, dstSize, clip);
}

int CFastPlane::AlphaPlaneBltFast(CFastPlane* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                                  const Rect* clip)
{
    return DrawPair(kAlphaPlaneKernels, this, src, x, y, srcRect, dstSize, clip);
}

int CFastPlane::PatternBlendBlt(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) { return kPlaneDone; }
