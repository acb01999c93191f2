// In-place effects of one plane: CFastPlane::MosaicEffect and NegativeEffect.
#include <algorithm>
#include <cstring>

#include "display/BltWalk.h"
#include "display/FastPlane.h"
#include "display/PlaneLock.h"

namespace {

// Bytes of a pixel that the mosaic copies: formats 10 and 11 keep byte 3.
int MosaicBytes(int format)
{
    if (format == pixfmt::k565A4 || format == pixfmt::k555A4) return 3;
    if (format >= pixfmt::k565 && format <= pixfmt::kRGBA32 && format != 9) return pixfmt::BytesPerPixel(format);
    return 0;
}

}  // namespace

int CFastPlane::MosaicEffect(int blockSize, const Rect* rect)
{
    // 0 is refused; a negative size is refused the same way, as no block can
    // have a negative side.
    if (blockSize <= 0) {
        return kPlaneNotLocked;
    }
    return WithLockedPlane(this, [&] {
        const int copy = MosaicBytes(format_);
        if (copy == 0) {
            return int(kPlaneDone);
        }
        const int bpp = pixfmt::BytesPerPixel(format_);
        const SurfaceView view = GetSurfaceView();
        Rect r;
        IntersectClipRect(view, &r, rect);
        if (r.right <= r.left || r.bottom <= r.top) {
            return int(kPlaneDone);
        }
        // 64-bit steps: a huge block size must not wrap the coordinates.
        for (int64_t by = r.top; by < r.bottom; by += blockSize) {
            const int h = static_cast<int>(std::min<int64_t>(blockSize, r.bottom - by));
            for (int64_t bx = r.left; bx < r.right; bx += blockSize) {
                const int w = static_cast<int>(std::min<int64_t>(blockSize, r.right - bx));
                uint8_t* corner = view.pixels + by * view.pitch + bx * bpp;
                uint8_t colour[4];
                std::memcpy(colour, corner, copy);
                for (int j = 0; j < h; ++j) {
                    uint8_t* p = corner + static_cast<intptr_t>(j) * view.pitch;
                    for (int i = 0; i < w; ++i, p += bpp) std::memcpy(p, colour, copy);
                }
            }
        }
        return int(kPlaneDone);
    });
}

int CFastPlane::NegativeEffect(const Rect* rect)
{
    using namespace pixfmt;
    return WithLockedPlane(this, [&] {
        const SurfaceView view = GetSurfaceView();
        switch (format_) {
        case k565:
        case k555: {
            const uint16_t flip = format_ == k565 ? 0xFFFF : 0x7FFF;  // 5-5-5 keeps bit 15
            WalkRect<2>(view, rect, [&](uint8_t* p, int, int w) {
                for (int i = 0; i < w; ++i, p += 2) Store16(p, Load16(p) ^ flip);
            });
            break;
        }
        case kBGR24:
        case kRGB24:
            WalkRect<3>(view, rect, [&](uint8_t* p, int, int w) {
                for (int i = 0; i < w; ++i, p += 3) Store24(p, Load24(p) ^ 0xFFFFFF);
            });
            break;
        case kBGRX32:
        case kRGBX32:
            WalkRect<4>(view, rect, [&](uint8_t* p, int, int w) {
                for (int i = 0; i < w; ++i, p += 4) Store32(p, Load32(p) ^ 0xFFFFFF);
            });
            break;
        case k565A4:
        case k555A4:
            // The whole colour word (bit 15 too) inverted; the level becomes opaque.
            WalkRect<4>(view, rect, [&](uint8_t* p, int, int w) {
                for (int i = 0; i < w; ++i, p += 4) {
                    Store16(p, static_cast<uint16_t>(~Load16(p)));
                    p[2] = 15;
                }
            });
            break;
        case kBGRA32:
        case kRGBA32:
            // Colour inverted, alpha 0: the negative of an alpha plane is transparent.
            WalkRect<4>(view, rect, [&](uint8_t* p, int, int w) {
                for (int i = 0; i < w; ++i, p += 4) Store32(p, (Load32(p) ^ 0xFFFFFF) & 0xFFFFFF);
            });
            break;
        default:
            break;
        }
        return int(kPlaneDone);
    });
}
