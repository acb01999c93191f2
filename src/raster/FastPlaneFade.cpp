// Brightness scaling: CFastPlane::FadeEffect, the screen fade.
#include "display/BltWalk.h"
#include "display/FastPlane.h"
#include "display/PlaneLock.h"
#include "raster/SaturatingArithmetic.h"
#include "raster/Simd.h"

int CFastPlane::FadeEffect(int factor, const Rect* rect)
{
    using namespace pixfmt;
    return WithLockedPlane(this, [&] {
        const int f = factor & 0xFF;
        const SurfaceView view = GetSurfaceView();
        switch (format_) {
        case k565: {
            // Only even levels: factors 224..255 give 14/15, never the identity.
            const int level = (f >> 4) & 14;
            WalkRect<2>(view, rect, [&](uint8_t* p, int, int w) { raster::FadeRow565(p, w, level); });
            break;
        }
        case k555: {
            const int level = f >> 4;
            WalkRect<2>(view, rect, [&](uint8_t* p, int, int w) { raster::FadeRow555(p, w, level); });
            break;
        }
        case kBGR24:
        case kRGB24:
            WalkRect<3>(view, rect, [&](uint8_t* p, int, int w) {
                for (int i = 0; i < w; ++i, p += 3) raster::ScaleByFactor24(p, f);
            });
            break;
        case kBGRX32:
        case kRGBX32:
            WalkRect<4>(view, rect, [&](uint8_t* p, int, int w) { raster::FadeRow32(p, w, f, 0); });
            break;
        case kBGRA32:
        case kRGBA32:
            WalkRect<4>(view, rect, [&](uint8_t* p, int, int w) { raster::FadeRow32(p, w, f, 255); });
            break;
        case k565A4:
            WalkRect<4>(view, rect, [&](uint8_t* p, int, int w) {
                for (int i = 0; i < w; ++i, p += 4) Store16(p, raster::ScaleWord565ByFactor(Load16(p), f));
            });
            break;
        case k555A4:
            WalkRect<4>(view, rect, [&](uint8_t* p, int, int w) {
                for (int i = 0; i < w; ++i, p += 4) Store16(p, raster::ScaleWord555ByFactor(Load16(p), f));
            });
            break;
        default:
            break;  // not a format this operation draws on
        }
        return int(kPlaneDone);
    });
}
