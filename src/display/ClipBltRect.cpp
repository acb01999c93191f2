// Blit clipping shared by every two-plane operation.
#include <algorithm>
#include <cstdint>

#include "display/SurfaceView.h"

namespace {

struct Rect64 {
    int64_t left, top, right, bottom;
};

Rect64 Widen(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

Rect Narrow(const Rect64& r)
{
    return {static_cast<int32_t>(r.left), static_cast<int32_t>(r.top), static_cast<int32_t>(r.right),
            static_cast<int32_t>(r.bottom)};
}

bool Inside(const Rect64& s, const Rect& plane)
{
    return s.left >= plane.left && s.top >= plane.top && s.right <= plane.right && s.bottom <= plane.bottom;
}

// Moves a clipped stretch's source edge on to the first source pixel that the
// first visible destination pixel samples, leaving the error term that the
// unclipped walk would have there. clipped = destination pixels cut off.
// The advance happens when the term reaches 0 or more: on exactly 0 the
// unclipped walk has already stepped on, and stopping short would draw the
// previous source column (row) at the clip edge.
void SkipClipped(int64_t clipped, int64_t srcLen, int64_t dstLen, int64_t* srcEdge, int64_t* error)
{
    int64_t e = -dstLen + clipped * srcLen;
    if (e >= 0) {
        int64_t k = e / dstLen + 1;
        *srcEdge += k;
        e -= k * dstLen;
    }
    *error = e;
}

// True when a request of source rectangle s and dstSize (null: none) is
// drawn 1:1 rather than stretched.
bool IsOneToOne(const Rect& s, const Size* dstSize)
{
    return dstSize == nullptr || (int64_t{dstSize->cx} == int64_t{s.right} - s.left &&
                                  int64_t{dstSize->cy} == int64_t{s.bottom} - s.top);
}

}  // namespace

int ClipBltRect(const SurfaceView& dst, const SurfaceView& src, int x, int y, BltClipResult* out,
                const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    const Rect& source = srcRect != nullptr ? *srcRect : src.rect;
    Rect64 c = Widen(clip != nullptr ? *clip : dst.rect);
    c.left = std::max<int64_t>(c.left, dst.rect.left);
    c.top = std::max<int64_t>(c.top, dst.rect.top);
    c.right = std::min<int64_t>(c.right, dst.rect.right);
    c.bottom = std::min<int64_t>(c.bottom, dst.rect.bottom);

    BltClipResult r;
    if (IsOneToOne(source, dstSize)) {
        OneToOneClip o;
        if (!ClipOneToOne(dst, src, x, y, source, clip, &o)) {
            return 1;
        }
        r.oneToOne = true;
        r.srcLeft = o.srcLeft;
        r.srcTop = o.srcTop;
        r.srcRight = o.srcLeft + o.cols;
        r.srcBottom = o.srcTop + o.rows;
        r.dstLeft = o.dstLeft;
        r.dstTop = o.dstTop;
        r.dstRight = o.dstLeft + o.cols;
        r.dstBottom = o.dstTop + o.rows;
    } else {
        Rect64 s = Widen(source);
        const int64_t w = s.right - s.left;
        const int64_t h = s.bottom - s.top;
        const int64_t dw = dstSize->cx;
        const int64_t dh = dstSize->cy;
        // A stretch cannot be cut at the source without changing its steps,
        // so a source rectangle outside the source plane draws nothing.
        if (dw <= 0 || dh <= 0 || w <= 0 || h <= 0 || !Inside(s, src.rect)) {
            return 1;
        }
        Rect64 d = {x, y, int64_t{x} + dw, int64_t{y} + dh};
        int64_t ex = -dw;
        int64_t ey = -dh;
        if (c.left > d.left) {
            SkipClipped(c.left - d.left, w, dw, &s.left, &ex);
            d.left = c.left;
        }
        if (c.top > d.top) {
            SkipClipped(c.top - d.top, h, dh, &s.top, &ey);
            d.top = c.top;
        }
        d.right = std::min(d.right, c.right);
        d.bottom = std::min(d.bottom, c.bottom);
        if (s.left >= s.right || s.top >= s.bottom || d.left >= d.right || d.top >= d.bottom) {
            return 1;
        }
        r.xDenominator = static_cast<int32_t>(dw);
        r.xStep = static_cast<int32_t>(w / dw);
        r.xRemainder = static_cast<int32_t>(w - (w / dw) * dw);
        r.xError = static_cast<int32_t>(ex - 1);
        r.yDenominator = static_cast<int32_t>(dh);
        r.yStep = static_cast<int32_t>(h / dh);
        r.yRemainder = static_cast<int32_t>(h % dh);
        r.yError = static_cast<int32_t>(ey - 1);
        const Rect sr = Narrow(s), dr = Narrow(d);
        r.srcLeft = sr.left;
        r.srcTop = sr.top;
        r.srcRight = sr.right;
        r.srcBottom = sr.bottom;
        r.dstLeft = dr.left;
        r.dstTop = dr.top;
        r.dstRight = dr.right;
        r.dstBottom = dr.bottom;
    }
    const Rect cr = Narrow(c);
    r.clipLeft = cr.left;
    r.clipTop = cr.top;
    r.clipRight = cr.right;
    r.clipBottom = cr.bottom;
    *out = r;
    return 0;
}

Rect* IntersectClipRect(const SurfaceView& view, Rect* out, const Rect* rect)
{
    Rect r = rect != nullptr ? *rect : view.rect;
    r.left = std::max(r.left, view.rect.left);
    r.top = std::max(r.top, view.rect.top);
    r.right = std::min(r.right, view.rect.right);
    r.bottom = std::min(r.bottom, view.rect.bottom);
    *out = r;
    return out;
}
