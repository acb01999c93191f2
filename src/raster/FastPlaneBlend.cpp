// Constant-alpha blends: CFastPlane::BlendBltFast and the keyed
// CFastPlane::BlendBlt.
#include "display/BltWalk.h"
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

int Blend(CFastPlane* dst, CFastPlane* src, int factor, bool keyed, int x, int y, const Rect* srcRect,
          const Size* dstSize, const Rect* clip)
{
    return WithLockedPair(dst, src, [&](CFastPlane* s) {
        const int df = dst->GetPixelFormat(), sf = s->GetPixelFormat();
        if (df == sf && !raster::HasSameFormatKernel(df)) {
            return int(kPlaneDone);
        }
        const uint32_t key = keyed ? s->GetColorKey() : 0;
        const SurfaceView dv = dst->GetSurfaceView(), sv = s->GetSurfaceView();
        const bool ran = raster::VisitPair(df, sf, [&](auto d, auto sfmt) {
            BlendKernel<decltype(d), decltype(sfmt)>(dv, sv, factor & 0xFF, keyed, key, x, y, srcRect, dstSize, clip);
        });
        return ran ? int(kPlaneDone) : int(kPlaneFormatPair);
    });
}

}  // namespace

int CFastPlane::BlendBltFast(CFastPlane* src, int x, int y, int factor, const Rect* srcRect, const Size* dstSize,
                             const Rect* clip)
{
    return Blend(this, src, factor, false, x, y, srcRect, dstSize, clip);
}

int CFastPlane::BlendBlt(CFastPlane* src, int x, int y, int factor, const Rect* srcRect, const Size* dstSize,
                         const Rect* clip)
{
    return Blend(this, src, factor, true, x, y, srcRect, dstSize, clip);
}
