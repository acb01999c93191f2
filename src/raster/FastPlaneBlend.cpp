// Constant-alpha blends: CFastPlane::BlendBltFast and the keyed
// CFastPlane::BlendBlt.
#include "display/FastPlane.h"
#include "display/PlaneLock.h"
#include "raster/BlendStep.h"
#include "raster/RasterPairs.h"
#include "raster/Simd.h"

namespace {

using namespace pixfmt;

template <class D, class S>
void BlendKernel(const SurfaceView& dv, const SurfaceView& sv, int a, bool keyed, uint32_t key, int x, int y,
                 const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    if (keyed) {
        WalkBlt<D::kBytes, S::kBytes>(dv, sv, x, y, srcRect, dstSize, clip, [a, key](uint8_t* d, const uint8_t* s) {
            if (!S::IsKey(S::Load(s), key)) {
                raster::BlendStep<D, S>(d, s, a);
            }
        });
        return;
    }
    auto step = [a](uint8_t* d, const uint8_t* s) { raster::BlendStep<D, S>(d, s, a); };
    if constexpr (D::kCode == S::kCode && D::kBytes == 4 && D::kAlpha == 0) {
        WalkBltRows<4, 4>(dv, sv, x, y, srcRect, dstSize, clip, step,
                          [a](uint8_t* d, const uint8_t* s, int n) { raster::BlendRow32(d, s, n, a); });
    } else if constexpr (D::kCode == S::kCode && D::kCode == k565) {
        WalkBltRows<2, 2>(dv, sv, x, y, srcRect, dstSize, clip, step,
                          [a](uint8_t* d, const uint8_t* s, int n) { raster::BlendRow565(d, s, n, a >> 4); });
    } else if constexpr (D::kCode == S::kCode && D::kCode == k555) {
        WalkBltRows<2, 2>(dv, sv, x, y, srcRect, dstSize, clip, step,
                          [a](uint8_t* d, const uint8_t* s, int n) { raster::BlendRow555(d, s, n, a >> 4); });
    } else if constexpr (D::kCode != S::kCode && D::kBytes == 4) {
        WalkBltRows<4, 4>(dv, sv, x, y, srcRect, dstSize, clip, step,
                          [a](uint8_t* d, const uint8_t* s, int n) { raster::AlphaFadeRow32(d, s, n, a); });
    } else {
        WalkBlt<D::kBytes, S::kBytes>(dv, sv, x, y, srcRect, dstSize, clip, step);
    }
}

// The planes' kernels (see FastPlaneAlpha.cpp for why they take the planes
// and the operation's own argument order).
template <class D, class S, bool Keyed>
int BlendPlanes(CFastPlane& dst, CFastPlane& src, int x, int y, int factor, const Rect* srcRect,
                const Size* dstSize, const Rect* clip)
{
    const uint32_t key = Keyed ? src.GetColorKey() : 0;
    BlendKernel<D, S>(dst.GetSurfaceView(), src.GetSurfaceView(), factor & 0xFF, Keyed, key, x, y, srcRect,
                      dstSize, clip);
    return kPlaneDone;
}

template <int Result>
int Answer(CFastPlane&, CFastPlane&, int, int, int, const Rect*, const Size*, const Rect*)
{
    return Result;
}

using BlendFn = int (*)(CFastPlane&, CFastPlane&, int, int, int, const Rect*, const Size*, const Rect*);

// Same-format pairs with a kernel and the cross pairs draw; a same-format
// pair without kernel (8-bit) draws nothing and answers done; any other pair
// is refused.
template <bool Keyed>
constexpr PairTable<BlendFn> kBlendKernels(&Answer<kPlaneFormatPair>, [](auto d, auto s, BlendFn* slot) {
    using D = decltype(d);
    using S = decltype(s);
    if constexpr (D::kCode == S::kCode) {
        if constexpr (raster::HasSameFormatKernel(D::kCode) && D::kBytes != 1) {
            *slot = &BlendPlanes<D, S, Keyed>;
        } else {
            *slot = &Answer<kPlaneDone>;
        }
    } else if constexpr (IsCrossPair(D::kCode, S::kCode)) {
        *slot = &BlendPlanes<D, S, Keyed>;
    }
});

}  // namespace

int CFastPlane::BlendBltFast(CFastPlane* src, int x, int y, int factor, const Rect* srcRect, const Size* dstSize,
                             const Rect* clip)
{
    return DrawPair(kBlendKernels<false>, this, src, x, y, factor, srcRect, dstSize, clip);
}

int CFastPlane::BlendBlt(CFastPlane* src, int x, int y, int factor, const Rect* srcRect, const Size* dstSize,
                         const Rect* clip)
{
    return DrawPair(kBlendKernels<true>, this, src, x, y, factor, srcRect, dstSize, clip);
}
