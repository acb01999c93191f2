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
