#pragma once
// What a blit kernel sees of a plane, and the clipping every two-plane
// operation shares.
//
// A kernel gets each plane as a SurfaceView (first pixel, signed pitch, the
// plane rectangle that may be drawn on). ClipBltRect turns a blit request
// (x, y, srcRect, dstSize, clip) into the rectangles and stepping terms of a
// BltClipResult; the kernels walk exactly what it gives and never clip again.
#include <cstdint>

#include "frame/Rect.h"

struct SurfaceView {
    uint8_t* pixels = nullptr;  // first pixel (row 0, column 0)
    int32_t pitch = 0;          // signed bytes from one row to the next
    Rect rect;                  // plane rectangle: the area that may be drawn on
};

// The pixel-access descriptor a plane hands to the generic blitters: present
// is non-zero when pixels, pitch and rect are valid.
struct PlaneBits {
    int32_t present = 0;
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    Rect rect;
    int32_t reserved0 = 0;
    int32_t reserved1 = 0;
};

struct BltClipResult {
    bool oneToOne = false;  // destination size equals the source rectangle's size
    int32_t srcLeft = 0, srcTop = 0, srcRight = 0, srcBottom = 0;
    int32_t dstLeft = 0, dstTop = 0, dstRight = 0, dstBottom = 0;
    int32_t clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
    // Stepping terms of a stretch (valid only when oneToOne is false).
    int32_t xError = 0;        // starting error term of the horizontal walk
    int32_t xRemainder = 0;    // source width modulo destination width
    int32_t xDenominator = 0;  // destination width before clipping
    int32_t xStep = 0;         // source width divided by destination width
    int32_t yError = 0;
    int32_t yRemainder = 0;
    int32_t yDenominator = 0;
    int32_t yStep = 0;
};

// A 1:1 blit after clipping: the source corner read first, the destination
// corner written first, and the size both share.
struct OneToOneClip {
    int32_t srcLeft = 0, srcTop = 0;
    int32_t dstLeft = 0, dstTop = 0;
    int32_t cols = 0, rows = 0;
};

// The 1:1 clip of ClipBltRect (s: the source rectangle, clip null: the
// destination's plane rectangle); false when nothing is to be drawn. Inline
// because the transitions draw up to a whole screen of one-pixel pieces and
// this is most of each piece's cost. The source rectangle is cut to the
// source plane first (moving the destination along), then both are cut to
// the clip; the sums are 64-bit, so no request wraps. Both cuts are worked
// as one intersection in destination coordinates (source + offset), where
// each is a max of left edges and a min of right edges.
inline bool ClipOneToOne(const SurfaceView& dst, const SurfaceView& src, int x, int y, const Rect s,
                         const Rect* clip, OneToOneClip* out)
{
    const int64_t ox = int64_t{x} - s.left;
    const int64_t oy = int64_t{y} - s.top;
    int64_t l = (s.left > src.rect.left ? s.left : src.rect.left) + ox;
    int64_t t = (s.top > src.rect.top ? s.top : src.rect.top) + oy;
    int64_t r = (s.right < src.rect.right ? s.right : src.rect.right) + ox;
    int64_t b = (s.bottom < src.rect.bottom ? s.bottom : src.rect.bottom) + oy;
    // Copies, not references: a reference to one of two rectangles would keep
    // the views in memory.
    const Rect c = clip != nullptr ? *clip : dst.rect;
    l = l > c.left ? l : c.left;
    t = t > c.top ? t : c.top;
    r = r < c.right ? r : c.right;
    b = b < c.bottom ? b : c.bottom;
    if (clip != nullptr) {
        l = l > dst.rect.left ? l : dst.rect.left;
        t = t > dst.rect.top ? t : dst.rect.top;
        r = r < dst.rect.right ? r : dst.rect.right;
        b = b < dst.rect.bottom ? b : dst.rect.bottom;
    }
    if (l >= r || t >= b) {
        return false;
    }
    out->srcLeft = static_cast<int32_t>(l - ox);
    out->srcTop = static_cast<int32_t>(t - oy);
    out->dstLeft = static_cast<int32_t>(l);
    out->dstTop = static_cast<int32_t>(t);
    out->cols = static_cast<int32_t>(r - l);
    out->rows = static_cast<int32_t>(b - t);
    return true;
}

// Clips a blit of src onto dst at (x, y). srcRect null: the source's plane
// rectangle; dstSize null: no stretch; clip null: the destination's plane
// rectangle (a given clip is intersected with it). Returns 0 when something is
// to be drawn (out filled), 1 when nothing is. A source rectangle reaching
// outside the source plane is cut to it (1:1, moving the destination along)
// or draws nothing (stretched), so no kernel reads outside the source.
int ClipBltRect(const SurfaceView& dst, const SurfaceView& src, int x, int y, BltClipResult* out,
                const Rect* srcRect, const Size* dstSize, const Rect* clip);

// Writes *rect (null: the plane rectangle) intersected with the view's plane
// rectangle to *out and returns out; the result may be empty, which callers test.
Rect* IntersectClipRect(const SurfaceView& view, Rect* out, const Rect* rect);
