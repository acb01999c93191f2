// Per-pixel alpha blits: CFastPlane::AlphaBltFast and AlphaBltFastFade.
#include "display/FastPlane.h"
#include "display/PlaneLock.h"
#include "raster/BlendStep.h"
#include "raster/RasterPairs.h"
#include "raster/Simd.h"

namespace {

using namespace pixfmt;
using raster::AlphaLevel;
using raster::LevelTable;
using raster::MixLevel;

// Source over destination, each weighted by its own 4-bit level; the
// destination keeps the combined level (byte 3 untouched).
template <class F>
void Composite4(uint8_t* d, const uint8_t* s)
{
    const int sa = AlphaLevel(s) * 16;
    const int da = AlphaLevel(d) * 16;
    const int t = gMulTable[da][240 - sa];  // the part of the destination that shows through
    const int n = t + sa;
    d[2] = static_cast<uint8_t>(n >> 4);
    if (n == 0) {
        return;
    }
    const int ws = 15 * sa / n;
    const int wd = 15 * t / n;
    const uint16_t* table = LevelTable<F>();
    Store16(d, static_cast<uint16_t>(table[(ws << 16) + Load16(s)] + table[(wd << 16) + Load16(d)]));
}

// The same with 8-bit alphas; a pixel with any alpha comes out opaque.
inline void Composite8(uint8_t* d, const uint8_t* s)
{
    const int sa = s[3];
    const int t = gMulTable[d[3]][255 - sa];
    const int n = t + sa;
    d[3] = static_cast<uint8_t>(n);
    if (n == 0) {
        return;
    }
    const uint8_t* ms = gMulTable[255 * sa / n];
    const uint8_t* md = gMulTable[255 * t / n];
    d[0] = static_cast<uint8_t>(ms[s[0]] + md[d[0]]);
    d[1] = static_cast<uint8_t>(ms[s[1]] + md[d[1]]);
    d[2] = static_cast<uint8_t>(ms[s[2]] + md[d[2]]);
    d[3] = 255;
}

template <class D, class S>
void AlphaStep(uint8_t* d, const uint8_t* s)
{
    if constexpr (D::kCode == S::kCode) {
        if constexpr (D::kAlpha == 4) Composite4<D>(d, s);
        else Composite8(d, s);
    } else if constexpr (D::kBytes == 2) {
        const int level = AlphaLevel(s);
        Store16(d, MixLevel(LevelTable<D>(), level, Load16(s), Load16(d)));
    } else {
        raster::MixBytes(d, s, s[3]);
        if constexpr (D::kBytes == 4) d[3] = 0;
    }
}

// The kernels take the planes rather than their views, so that on the 1:1
// path the views stay in registers, and the operation's own arguments in its
// own order, so that the operation reaches them with a jump.
template <class D, class S, bool Fade>
int AlphaWalk(CFastPlane& dst, CFastPlane& src, int x, int y, int f, const Rect* srcRect, const Size* dstSize,
              const Rect* clip)
{
    auto step = [f](uint8_t* d, const uint8_t* s) {
        (void)f;  // only the faded form reads it
        if constexpr (Fade) raster::BlendStep<D, S>(d, s, f);
        else AlphaStep<D, S>(d, s);
    };
    if constexpr (D::kCode != S::kCode && D::kBytes == 4) {
        WalkPlanes<4, 4>(dst, src, x, y, srcRect, dstSize, clip, step, [f](uint8_t* d, const uint8_t* s, int n) {
            (void)f;
            if constexpr (Fade) raster::AlphaFadeRow32(d, s, n, f);
            else raster::AlphaRow32(d, s, n);
        });
    } else {
        WalkPlanes<D::kBytes, S::kBytes>(dst, src, x, y, srcRect, dstSize, clip, step, nullptr);
    }
    return kPlaneDone;
}

template <class D, class S>
int AlphaKernel(CFastPlane& dst, CFastPlane& src, int x, int y, const Rect* srcRect, const Size* dstSize,
                const Rect* clip)
{
    return AlphaWalk<D, S, false>(dst, src, x, y, 255, srcRect, dstSize, clip);
}

template <class D, class S>
int AlphaFadeKernel(CFastPlane& dst, CFastPlane& src, int x, int y, int factor, const Rect* srcRect,
                    const Size* dstSize, const Rect* clip)
{
    return AlphaWalk<D, S, true>(dst, src, x, y, factor & 0xFF, srcRect, dstSize, clip);
}

template <class... Args>
int RefusePair(CFastPlane&, CFastPlane&, Args...)
{
    return kPlaneFormatPair;
}

using AlphaFn = int (*)(CFastPlane&, CFastPlane&, int, int, const Rect*, const Size*, const Rect*);
using AlphaFadeFn = int (*)(CFastPlane&, CFastPlane&, int, int, int, const Rect*, const Size*, const Rect*);

// The accepted pairs: a screen format from its alpha format; without the
// fade also an alpha format onto itself, compositing the two alphas (the
// faded form has no such kernel).
constexpr PairTable<AlphaFn> kAlphaKernels(&RefusePair<int, int, const Rect*, const Size*, const Rect*>,
                                           [](auto d, auto s, AlphaFn* slot) {
                                               using D = decltype(d);
                                               using S = decltype(s);
                                               if constexpr (IsCrossPair(D::kCode, S::kCode) ||
                                                             (D::kCode == S::kCode && IsAlphaFormat(D::kCode))) {
                                                   *slot = &AlphaKernel<D, S>;
                                               }
                                           });

constexpr PairTable<AlphaFadeFn> kAlphaFadeKernels(
    &RefusePair<int, int, int, const Rect*, const Size*, const Rect*>, [](auto d, auto s, AlphaFadeFn* slot) {
        using D = decltype(d);
        using S = decltype(s);
        if constexpr (IsCrossPair(D::kCode, S::kCode)) {
            *slot = &AlphaFadeKernel<D, S>;
        }
    });

}  // namespace

int CFastPlane::AlphaBltFast(CFastPlane* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                             const Rect* clip)
{
    return DrawPair(kAlphaKernels, this, src, x, y, srcRect, dstSize, clip);
}

int CFastPlane::AlphaBltFastFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect,
                                 const Size* dstSize, const Rect* clip)
{
    return DrawPair(kAlphaFadeKernels, this, src, x, y, factor, srcRect, dstSize, clip);
}
