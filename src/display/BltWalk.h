#pragma once
// The one clip-and-walk frame of every two-plane kernel.
//
// WalkBlt clips (1:1 with the inline ClipOneToOne, a stretch with
// ClipBltRect) and then visits each destination pixel with the source pixel
// the walk selects, calling step(dst, src) with byte pointers. 1:1 rows run
// left to right; a stretch steps with the integer error terms of BltClipResult:
//   per row:   ey += yRemainder; if ey >= 0 { row++; ey -= yDenominator }
//   per pixel: ex += xRemainder; if ex >= 0 { col++; ex -= xDenominator }
//              step(); col += xStep
//   row += yStep (from the row after its carry)
// Returns 1 when clipping left nothing to draw, else 0.
//
// RowStep (optional) lets a kernel take a whole 1:1 row at once:
// row(dst, src, count); kernels with a SIMD path use it.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "display/SurfaceView.h"

// Walks a 1:1 blit clipped by ClipOneToOne: step per pixel, or row(dst,
// src, count) per row when Row is given. Rows shorter than one 16-byte
// vector (minRowBytes) go by step even then: the row kernels equal their
// steps pixel for pixel, and for the one- and two-pixel pieces of the
// transitions a call into a vector kernel that has nothing to vectorise costs
// more than the pixels. A kernel whose row does shorter rows in vectors too
// passes its own minRowBytes.
template <int DstBytes, int SrcBytes, class Step, class Row = std::nullptr_t>
inline void WalkOneToOne(const SurfaceView& dst, const SurfaceView& src, const OneToOneClip& r, Step&& step,
                         Row&& row = nullptr, int minRowBytes = 16)
{
    const uint8_t* srcRow = src.pixels + static_cast<intptr_t>(r.srcTop) * src.pitch +
                            static_cast<intptr_t>(r.srcLeft) * SrcBytes;
    uint8_t* dstRow = dst.pixels + static_cast<intptr_t>(r.dstTop) * dst.pitch +
                      static_cast<intptr_t>(r.dstLeft) * DstBytes;
    constexpr bool kHasRow = !std::is_same_v<std::decay_t<Row>, std::nullptr_t>;
    if constexpr (kHasRow) {
        if (r.cols * DstBytes >= minRowBytes) {
            for (int j = 0; j < r.rows; ++j) {
                row(dstRow, srcRow, r.cols);
                srcRow += src.pitch;
                dstRow += dst.pitch;
            }
            return;
        }
    }
    for (int j = 0; j < r.rows; ++j) {
        const uint8_t* s = srcRow;
        uint8_t* d = dstRow;
        for (int i = 0; i < r.cols; ++i) {
            step(d, s);
            s += SrcBytes;
            d += DstBytes;
        }
        srcRow += src.pitch;
        dstRow += dst.pitch;
    }
}

// Walks an already clipped blit (r from ClipBltRect answering 0).
template <int DstBytes, int SrcBytes, class Step>
void WalkClipped(const SurfaceView& dst, const SurfaceView& src, const BltClipResult& r, Step&& step)
{
    const int rows = r.dstBottom - r.dstTop;
    const int cols = r.dstRight - r.dstLeft;
    if (rows <= 0 || cols <= 0) {
        return;
    }
    if (r.oneToOne) {
        WalkOneToOne<DstBytes, SrcBytes>(dst, src, OneToOneClip{r.srcLeft, r.srcTop, r.dstLeft, r.dstTop, cols, rows},
                                         step);
        return;
    }
    const uint8_t* srcRow = src.pixels + static_cast<intptr_t>(r.srcTop) * src.pitch +
                            static_cast<intptr_t>(r.srcLeft) * SrcBytes;
    uint8_t* dstRow = dst.pixels + static_cast<intptr_t>(r.dstTop) * dst.pitch +
                      static_cast<intptr_t>(r.dstLeft) * DstBytes;
    const intptr_t colStep = static_cast<intptr_t>(r.xStep) * SrcBytes;
    const intptr_t rowStep = static_cast<intptr_t>(r.yStep) * src.pitch;
    int32_t ey = r.yError;
    for (int j = 0; j < rows; ++j) {
        ey += r.yRemainder;
        if (ey >= 0) {
            srcRow += src.pitch;
            ey -= r.yDenominator;
        }
        const uint8_t* s = srcRow;
        uint8_t* d = dstRow;
        int32_t ex = r.xError;
        for (int i = 0; i < cols; ++i) {
            ex += r.xRemainder;
            if (ex >= 0) {
                s += SrcBytes;
                ex -= r.xDenominator;
            }
            step(d, s);
            s += colStep;
            d += DstBytes;
        }
        srcRow += rowStep;
        dstRow += dst.pitch;
    }
}

// The stretched (or 1:1 with a dstSize) path of WalkBlt, kept out of line so
// that the 1:1 path stays small enough to inline into every kernel. The
// views go by value: only this path then builds them in memory.
template <int DstBytes, int SrcBytes, class Step>
[[gnu::noinline]] int WalkStretched(SurfaceView dst, SurfaceView src, int x, int y, const Rect* srcRect,
                                    const Size* dstSize, const Rect* clip, Step step)
{
    BltClipResult r;
    if (ClipBltRect(dst, src, x, y, &r, srcRect, dstSize, clip) != 0) {
        return 1;
    }
    WalkClipped<DstBytes, SrcBytes>(dst, src, r, step);
    return 0;
}

// The same as WalkBlt, but 1:1 rows go to row(dst, src, count) whole.
template <int DstBytes, int SrcBytes, class Step, class Row>
inline int WalkBltRows(const SurfaceView& dst, const SurfaceView& src, int x, int y, const Rect* srcRect,
                       const Size* dstSize, const Rect* clip, Step&& step, Row&& row)
{
    if (dstSize != nullptr) {
        return WalkStretched<DstBytes, SrcBytes>(dst, src, x, y, srcRect, dstSize, clip, step);
    }
    OneToOneClip r;
    const Rect source = srcRect != nullptr ? *srcRect : src.rect;
    if (!ClipOneToOne(dst, src, x, y, source, clip, &r)) {
        return 1;
    }
    WalkOneToOne<DstBytes, SrcBytes>(dst, src, r, step, row);
    return 0;
}

template <int DstBytes, int SrcBytes, class Step>
inline int WalkBlt(const SurfaceView& dst, const SurfaceView& src, int x, int y, const Rect* srcRect,
                   const Size* dstSize, const Rect* clip, Step&& step)
{
    return WalkBltRows<DstBytes, SrcBytes>(dst, src, x, y, srcRect, dstSize, clip, step, nullptr);
}

// Visits every pixel of *rect (null: the plane rectangle) clipped to the
// plane: row(pixel, count) per row. Nothing for an empty intersection.
template <int Bytes, class Row>
void WalkRect(const SurfaceView& view, const Rect* rect, Row&& row)
{
    Rect r;
    IntersectClipRect(view, &r, rect);
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    uint8_t* p = view.pixels + static_cast<intptr_t>(r.top) * view.pitch + static_cast<intptr_t>(r.left) * Bytes;
    for (int y = r.top; y < r.bottom; ++y) {
        row(p, r.left, r.right - r.left);
        p += view.pitch;
    }
}
