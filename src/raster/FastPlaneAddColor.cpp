// Constant-colour add and subtract: CFastPlane::AddColorFast / SubColorFast.
#include <cstring>

#include "display/BltWalk.h"
#include "display/FastPlane.h"
#include "display/PlaneLock.h"
#include "raster/SaturatingArithmetic.h"
#include "raster/Simd.h"

namespace {

using namespace pixfmt;

// 16-bit rows without the vector path: a lone first pixel at an odd x, then
// pairs of pixels as one 32-bit word, then a lone last pixel. (The vector
// rows give the same channels: each is one saturating sum either way.)
template <uint16_t (*One)(uint32_t, uint32_t), uint32_t (*Two)(uint32_t, uint32_t)>
void Row16(uint8_t* p, int left, int w, uint16_t c)
{
    const uint32_t c2 = c | (uint32_t(c) << 16);
    if (left & 1) {
        Store16(p, One(Load16(p), c));
        p += 2;
        --w;
    }
    for (int i = 0; i < (w >> 1); ++i, p += 4) {
        Store32(p, Two(Load32(p), c2));
    }
    if (w & 1) {
        Store16(p, One(Load16(p), c));
    }
}

template <bool Is565, bool Add>
void AddRows16(const SurfaceView& view, const Rect* rect, uint16_t c)
{
    using raster::AddPacked555;
    using raster::AddPacked565;
    using raster::SubPacked555;
    using raster::SubPacked565;
    constexpr auto one = Is565 ? (Add ? AddPacked565 : SubPacked565) : (Add ? AddPacked555 : SubPacked555);
    constexpr auto two = Is565 ? (Add ? raster::AddPacked565x2 : raster::SubPacked565x2)
                               : (Add ? raster::AddPacked555x2 : raster::SubPacked555x2);
    constexpr auto vector = Is565 ? (Add ? raster::AddRow565 : raster::SubRow565) : (Add ? raster::AddRow555 : raster::SubRow555);
    WalkRect<2>(view, rect, [&](uint8_t* p, int left, int w) {
        if (raster::SimdEnabled()) {
            vector(p, w, c);
        } else {
            Row16<one, two>(p, left, w, c);
        }
    });
}

template <bool Add>
int AddOrSub(CFastPlane* plane, uint32_t color, const Rect* rect)
{
    return WithLockedPlane(plane, [&] {
        const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
        const SurfaceView view = plane->GetSurfaceView();
        switch (plane->GetPixelFormat()) {
        case k565:
            AddRows16<true, Add>(view, rect, Pack565(r, g, b));
            break;
        case k555:
            AddRows16<false, Add>(view, rect, Pack555(r, g, b));
            break;
        case kBGR24:
        case kRGB24: {
            const uint32_t c = plane->GetPixelFormat() == kBGR24 ? (b | (g << 8) | (uint32_t(r) << 16)) : (color & 0xFFFFFF);
            WalkRect<3>(view, rect, [&](uint8_t* p, int, int w) {
                for (int i = 0; i < w; ++i, p += 3) {
                    if constexpr (Add) raster::AddSaturate24(p, c);
                    else raster::SubSaturate24(p, c);
                }
            });
            break;
        }
        case kBGRX32:
        case kRGBX32: {
            // Byte 3 of the colour goes to byte 3 of the pixel value (it wraps there).
            const uint32_t c = plane->GetPixelFormat() == kBGRX32
                                   ? (b | (g << 8) | (uint32_t(r) << 16) | (color & 0xFF000000u))
                                   : color;
            WalkRect<4>(view, rect, [&](uint8_t* p, int, int w) {
                if constexpr (Add) raster::AddRow32(p, w, c);
                else raster::SubRow32(p, w, c);
            });
            break;
        }
        default:
            break;  // 8-bit and alpha formats: nothing to do
        }
        return int(kPlaneDone);
    });
}

}  // namespace

int CFastPlane::AddColorFast(uint32_t bgr, const Rect* rect) { return AddOrSub<true>(this, bgr, rect); }

int CFastPlane::SubColorFast(uint32_t bgr, const Rect* rect) { return AddOrSub<false>(this, bgr, rect); }
