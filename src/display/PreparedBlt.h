#pragma once
// PreparedBlt: one display-plane operation resolved once for a stream of 1:1
// pieces. The transitions draw up to a whole screen of one-pixel pieces per
// frame; through the plane interface each piece pays a virtual call, the
// source's type tag, the locking frame and a kernel look-up. Prepare does all
// of that once (surface views, colour key or factor, the kernel of the format
// pair); Draw then clips the piece as the operation does and calls the kernel.
#include <cstdint>

#include "display/SurfaceView.h"
#include "frame/Rect.h"

class CFastPlane;

// The operations a drawer stands for.
enum class PieceOp : uint8_t {
    kBlt,               // Blt(CFastPlane*)
    kBltColorKey,       // BltColorKey(CFastPlane*)
    kAlphaBltFastFade,  // AlphaBltFastFade(factor)
    kBltAuto,           // AlphaBltFast for a source with alpha, else BltColorKey
};

// Draws one clipped 1:1 rectangle; arg: the colour key or the fade factor.
using PieceKernel = void (*)(const SurfaceView& dst, const SurfaceView& src, const OneToOneClip& r,
                             uint32_t arg);

// The kernel of the pairs an operation refuses: those draw nothing.
inline void DrawNoPiece(const SurfaceView&, const SurfaceView&, const OneToOneClip&, uint32_t) {}

// A 1:1 piece: srcRect of the source with its top-left corner at (x, y).
struct PlacedPiece {
    int32_t x;
    int32_t y;
    Rect srcRect;
};

// Draws pieces in order, each clipped as Draw clips it.
using PieceBatchKernel = void (*)(const SurfaceView& dst, const SurfaceView& src, const PlacedPiece* pieces,
                                  int count, uint32_t arg);

// The batch form of a piece kernel: the kernel is a constant here, so it is
// inlined into the loop instead of called once per piece (the block
// transitions draw a screen of 2 x 2 pieces per frame).
//
// PixelBytes (the destination's, 0: unknown) asks for the first two rows of
// the piece a few ahead to be fetched while this one is drawn: the scattered
// blocks land all over a screen-sized destination, and waiting on each
// block's rows is most of its cost. A fetch hint never faults, so the
// address is worked as an integer and may lie anywhere.
template <PieceKernel Kernel, int PixelBytes = 0>
void DrawPieceBatch(const SurfaceView& dst, const SurfaceView& src, const PlacedPiece* pieces, int count,
                    uint32_t arg)
{
    const SurfaceView dv = dst;
    const SurfaceView sv = src;
    constexpr int kAhead = 8;
    for (int i = 0; i < count; ++i) {
        if constexpr (PixelBytes != 0) {
            if (i + kAhead < count) {
                const PlacedPiece& next = pieces[i + kAhead];
                const uintptr_t row = reinterpret_cast<uintptr_t>(dv.pixels) +
                                      static_cast<uintptr_t>(static_cast<intptr_t>(next.y) * dv.pitch +
                                                             static_cast<intptr_t>(next.x) * PixelBytes);
                __builtin_prefetch(reinterpret_cast<const void*>(row), 1);
                __builtin_prefetch(reinterpret_cast<const void*>(row + static_cast<uintptr_t>(intptr_t{dv.pitch})), 1);
            }
        }
        OneToOneClip r;
        if (ClipOneToOne(dv, sv, pieces[i].x, pieces[i].y, pieces[i].srcRect, nullptr, &r)) {
            Kernel(dv, sv, r, arg);
        }
    }
}

// Draws the columns of a clipped piece whose index from its first column,
// modulo 16, is a set bit of pattern (bit 0: columns 0, 16, 32, ...).
using PieceColumnsKernel = void (*)(const SurfaceView& dst, const SurfaceView& src, const OneToOneClip& r,
                                    uint32_t arg, unsigned pattern);

// A stretch of equal w x h blocks, block i placed with its top-left corner at
// (xs[i], ys[i]). Its source rectangle's corner is (srcXs[i], srcYs[i]), or,
// without those (null), (left + i * w, top): a stretch of one source row.
struct BlockStretch {
    int32_t left;
    int32_t top;
    int32_t w;
    int32_t h;
    const int32_t* xs;
    const int32_t* ys;
    int count;
    const int32_t* srcXs = nullptr;
    const int32_t* srcYs = nullptr;
    // Fetch the target rows of a block a few blocks ahead. Measured: it
    // pays for blocks that walk the target along a line (the turned grids)
    // and costs for blocks thrown at random, whose misses the processor
    // already overlaps (the hints add page walks and fill buffers). Such a
    // stretch's 2 x 2 blocks also read every block overlapping the last one
    // a pixel at a time (the kernels' MixQuadAfter).
    bool fetchAhead = false;

    int32_t SrcX(int i) const { return srcXs != nullptr ? srcXs[i] : left + i * w; }
    int32_t SrcY(int i) const { return srcYs != nullptr ? srcYs[i] : top; }
};

// Draws a stretch's blocks in order, each clipped as Draw clips it.
using PieceBlocksKernel = void (*)(const SurfaceView& dst, const SurfaceView& src, const BlockStretch& blocks,
                                   uint32_t arg);

// Draws the one source column of a clipped piece (r.srcLeft) at each of the
// r.cols destination columns from r.dstLeft on.
using PieceRepeatKernel = void (*)(const SurfaceView& dst, const SurfaceView& src, const OneToOneClip& r,
                                   uint32_t arg);

// The operations' piece kernels for a (destination, source) format pair, the
// same pixel steps as the operations' own; DrawNoPiece for a refused pair.
// Defined beside those kernels (FastPlaneBlt.cpp, raster/FastPlaneAlpha.cpp).
PieceKernel FindCopyPieceKernel(int dstFormat, int srcFormat, bool keyed);
PieceKernel FindAlphaPieceKernel(int dstFormat, int srcFormat, bool fade);
// Their batch forms (DrawPieceBatch of the same kernels).
PieceBatchKernel FindCopyPieceBatch(int dstFormat, int srcFormat, bool keyed);
PieceBatchKernel FindAlphaPieceBatch(int dstFormat, int srcFormat, bool fade);
// The column-pattern kernels of the pairs that have vector rows (32-bit
// screens from their alpha formats); null for the others.
PieceColumnsKernel FindAlphaColumnsKernel(int dstFormat, int srcFormat, bool fade);
// The block-stretch kernels of the same pairs; null for the others.
PieceBlocksKernel FindAlphaBlocksKernel(int dstFormat, int srcFormat, bool fade);
// The repeated-column kernels of the same pairs; null for the others.
PieceRepeatKernel FindAlphaRepeatKernel(int dstFormat, int srcFormat, bool fade);

class PreparedBlt {
public:
    // Resolves op for drawing src onto dst under clip (null: all of dst);
    // factor is AlphaBltFastFade's (low byte). False, and the drawer unusable,
    // when the pieces cannot take this path: a null plane, a plane without a
    // lock-free surface, or src == dst (a plane drawn onto itself reads from a
    // snapshot per operation). The caller then uses the planes' operations.
    bool Prepare(CFastPlane* dst, CFastPlane* src, PieceOp op, int factor, const Rect* clip);

    // Draws srcRect of the source with its top-left corner at (x, y): the
    // operation's pixels for that srcRect, no dstSize and the prepared clip.
    // Only after Prepare answered true, while neither plane changes surface.
    void Draw(int x, int y, const Rect& srcRect) const
    {
        OneToOneClip r;
        if (ClipOneToOne(dst_, src_, x, y, srcRect, nullptr, &r)) {
            kernel_(dst_, src_, r, arg_);
        }
    }

    // Draws the pieces in order, as Draw would one by one.
    void DrawMany(const PlacedPiece* pieces, int count) const { batch_(dst_, src_, pieces, count, arg_); }

    // Draws the columns c of srcRect (placed as Draw places it) for which bit
    // (c - srcRect.left) mod 16 of pattern is set: the pixels the one-column
    // pieces of those columns draw, worked a row at a time where the pair has
    // a column-pattern kernel.
    void DrawColumns(int x, int y, const Rect& srcRect, unsigned pattern) const;

    // Draws a stretch's blocks in order, as Draw would one by one.
    void DrawBlocks(const BlockStretch& blocks) const;

    // Draws column, a source rectangle one column wide, at (x + k, y) for k
    // from 0 to count - 1, as Draw would one by one: the column stretched
    // across count columns.
    void DrawRepeated(int x, int y, const Rect& column, int count) const;

private:
    SurfaceView dst_;  // its rect is the clip already cut to the plane
    SurfaceView src_;
    PieceKernel kernel_ = &DrawNoPiece;
    PieceBatchKernel batch_ = &DrawPieceBatch<&DrawNoPiece>;
    PieceColumnsKernel columns_ = nullptr;  // null: column by column through kernel_
    PieceBlocksKernel blocks_ = nullptr;    // null: block by block through batch_
    PieceRepeatKernel repeat_ = nullptr;    // null: column by column through kernel_
    uint32_t arg_ = 0;
};
