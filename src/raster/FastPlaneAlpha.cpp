// Per-pixel alpha blits: CFastPlane::AlphaBltFast and AlphaBltFastFade.
#include <cstring>
#include <type_traits>

#include "display/FastPlane.h"
#include "display/PreparedBlt.h"
#include "display/PlaneLock.h"
#include "raster/BlendStep.h"
#include "raster/RasterPairs.h"
#include "raster/Simd.h"
#include "raster/SimdAvx2.h"
#include "raster/SimdMix.h"

namespace {

using namespace pixfmt;
using raster::AlphaLevel;
using raster::LevelTable;
using raster::MixLevel;

// Source over destination, each weighted by its own 4-bit level; the
// destination keeps the combined level (byte 3 untouched).
template <class F>
void Composite4(uint8_t* d, const uint8_t* s)
{
    const int sa = AlphaLevel(s) * 16;
    const int da = AlphaLevel(d) * 16;
    const int t = gMulTable[da][240 - sa];  // the part of the destination that shows through
    const int n = t + sa;
    d[2] = static_cast<uint8_t>(n >> 4);
    if (n == 0) {
        return;
    }
    const int ws = 15 * sa / n;
    const int wd = 15 * t / n;
    const uint16_t* table = LevelTable<F>();
    Store16(d, static_cast<uint16_t>(table[(ws << 16) + Load16(s)] + table[(wd << 16) + Load16(d)]));
}

// The same with 8-bit alphas; a pixel with any alpha comes out opaque.
inline void Composite8(uint8_t* d, const uint8_t* s)
{
    const int sa = s[3];
    const int t = gMulTable[d[3]][255 - sa];
    const int n = t + sa;
    d[3] = static_cast<uint8_t>(n);
    if (n == 0) {
        return;
    }
    const uint8_t* ms = gMulTable[255 * sa / n];
    const uint8_t* md = gMulTable[255 * t / n];
    d[0] = static_cast<uint8_t>(ms[s[0]] + md[d[0]]);
    d[1] = static_cast<uint8_t>(ms[s[1]] + md[d[1]]);
    d[2] = static_cast<uint8_t>(ms[s[2]] + md[d[2]]);
    d[3] = 255;
}

template <class D, class S>
void AlphaStep(uint8_t* d, const uint8_t* s)
{
    if constexpr (D::kCode == S::kCode) {
        if constexpr (D::kAlpha == 4) Composite4<D>(d, s);
        else Composite8(d, s);
    } else if constexpr (D::kBytes == 2) {
        const int level = AlphaLevel(s);
        Store16(d, MixLevel(LevelTable<D>(), level, Load16(s), Load16(d)));
    } else {
        raster::MixBytes(d, s, s[3]);
        if constexpr (D::kBytes == 4) d[3] = 0;
    }
}

// The pixel step of both operations (the fade scales every source alpha by
// f) and the 32-bit cross-format row, shared by the plane kernels and the
// piece kernels.
template <class D, class S, bool Fade>
struct AlphaPixel {
    int f;  // only the faded form reads it
    void operator()(uint8_t* d, const uint8_t* s) const
    {
        if constexpr (Fade) raster::BlendStep<D, S>(d, s, f);
        else AlphaStep<D, S>(d, s);
    }
};

// The vector rows: 32-bit destinations from their alpha formats (plain and
// faded), 16-bit ones from their 4-bit alpha formats (plain).
template <class D, bool Fade>
struct AlphaRow {
    int f;
    void operator()(uint8_t* d, const uint8_t* s, int n) const
    {
        if constexpr (D::kBytes == 4 && Fade) raster::AlphaFadeRow32(d, s, n, f);
        else if constexpr (D::kBytes == 4) raster::AlphaRow32(d, s, n);
        else if constexpr (D::kCode == k565) raster::AlphaRow565(d, s, n);
        else raster::AlphaRow555(d, s, n);
    }
};

// Pairs whose 1:1 rows go to the row kernel.
template <class D, class S, bool Fade>
constexpr bool kHasAlphaRow = D::kCode != S::kCode && (D::kBytes == 4 || (D::kBytes == 2 && S::kAlpha == 4 && !Fade));

// The kernels take the planes rather than their views, so that on the 1:1
// path the views stay in registers, and the operation's own arguments in its
// own order, so that the operation reaches them with a jump.
template <class D, class S, bool Fade>
int AlphaWalk(CFastPlane& dst, CFastPlane& src, int x, int y, int f, const Rect* srcRect, const Size* dstSize,
              const Rect* clip)
{
    if constexpr (kHasAlphaRow<D, S, Fade>) {
        WalkPlanes<D::kBytes, S::kBytes>(dst, src, x, y, srcRect, dstSize, clip, AlphaPixel<D, S, Fade>{f},
                                         AlphaRow<D, Fade>{f});
    } else {
        WalkPlanes<D::kBytes, S::kBytes>(dst, src, x, y, srcRect, dstSize, clip, AlphaPixel<D, S, Fade>{f}, nullptr);
    }
    return kPlaneDone;
}

// A clipped 1:1 piece (see PreparedBlt.h); f is the fade factor. Simd: what
// raster::SimdEnabled() answered, asked once per batch by the batch form
// rather than once per piece.
template <class D, class S, bool Fade, bool Simd>
[[gnu::always_inline]] inline void AlphaPieceAt(const SurfaceView& dstView, const SurfaceView& srcView,
                                                const OneToOneClip& piece, uint32_t f)
{
    // Walked from copies: a byte store may alias whatever the references
    // reach, which would reload the bounds and pitches on every pixel.
    const SurfaceView dv = dstView;
    const SurfaceView sv = srcView;
    const OneToOneClip r = piece;
    const int factor = static_cast<int>(f);
    if constexpr (kHasAlphaRow<D, S, Fade> && D::kBytes == 4) {
#if defined(LANTERN_HAVE_SSE2)
        // The small pieces of the transitions (2 x 2 and 4 x 2 blocks, the
        // whorls' runs of two to four pixels): mixed here, without a call per row.
        if (Simd && r.cols >= 2 && r.cols <= 4) {
            const uint8_t* s = sv.pixels + static_cast<intptr_t>(r.srcTop) * sv.pitch + r.srcLeft * 4;
            uint8_t* d = dv.pixels + static_cast<intptr_t>(r.dstTop) * dv.pitch + r.dstLeft * 4;
            if (r.cols == 2 && r.rows == 2) {  // the 2 x 2 blocks, most pieces of their effects
                raster::MixQuad32<true, Fade>(d, d + dv.pitch, s, s + sv.pitch, factor);
                return;
            }
            int j = 0;
            if (r.cols == 2) {
                for (; j + 2 <= r.rows; j += 2, s += 2 * sv.pitch, d += 2 * dv.pitch) {
                    raster::MixQuad32<true, Fade>(d, d + dv.pitch, s, s + sv.pitch, factor);
                }
            }
            for (; j < r.rows; ++j, s += sv.pitch, d += dv.pitch) {
                if (r.cols == 4) {
                    raster::MixFour32<true, Fade>(d, s, factor);
                    continue;
                }
                raster::MixPair32<true, Fade>(d, s, factor);
                if (r.cols == 3) {
                    AlphaPixel<D, S, Fade>{factor}(d + 8, s + 8);
                }
            }
            return;
        }
#endif
        // The rows do two pixels in half a vector, which beats two steps.
        WalkOneToOne<4, 4>(dv, sv, r, AlphaPixel<D, S, Fade>{factor}, AlphaRow<D, Fade>{factor}, 8);
    } else if constexpr (kHasAlphaRow<D, S, Fade>) {
        WalkOneToOne<D::kBytes, S::kBytes>(dv, sv, r, AlphaPixel<D, S, Fade>{factor}, AlphaRow<D, Fade>{factor});
    } else {
        WalkOneToOne<D::kBytes, S::kBytes>(dv, sv, r, AlphaPixel<D, S, Fade>{factor});
    }
}

template <class D, class S, bool Fade>
void AlphaPiece(const SurfaceView& dst, const SurfaceView& src, const OneToOneClip& piece, uint32_t f)
{
    if (raster::SimdEnabled()) {
        AlphaPieceAt<D, S, Fade, true>(dst, src, piece, f);
    } else {
        AlphaPieceAt<D, S, Fade, false>(dst, src, piece, f);
    }
}

template <class D, class S, bool Fade>
void AlphaPieceBatch(const SurfaceView& dst, const SurfaceView& src, const PlacedPiece* pieces, int count,
                     uint32_t f)
{
    if (raster::SimdEnabled()) {
        DrawPieceBatch<&AlphaPieceAt<D, S, Fade, true>, D::kBytes>(dst, src, pieces, count, f);
    } else {
        DrawPieceBatch<&AlphaPieceAt<D, S, Fade, false>, D::kBytes>(dst, src, pieces, count, f);
    }
}

// A clipped 32-bit piece walked row by row: its first rows, the pitches and
// size, and whether the vector rows are on (asked once per piece).
struct PieceRows32 {
    const uint8_t* src;
    uint8_t* dst;
    intptr_t srcPitch;
    intptr_t dstPitch;
    int rows;
    int cols;
    bool simd;

    PieceRows32(const SurfaceView& dv, const SurfaceView& sv, const OneToOneClip& r)
        : src(sv.pixels + static_cast<intptr_t>(r.srcTop) * sv.pitch + static_cast<intptr_t>(r.srcLeft) * 4),
          dst(dv.pixels + static_cast<intptr_t>(r.dstTop) * dv.pitch + static_cast<intptr_t>(r.dstLeft) * 4),
          srcPitch(sv.pitch),
          dstPitch(dv.pitch),
          rows(r.rows),
          cols(r.cols),
          simd(raster::SimdEnabled())
    {
    }
};

// Columns of a clipped piece by a sixteen-column pattern (see PreparedBlt.h):
// whole rows mixed four pixels at once, the columns left out keeping their
// pixels, and fours with no column drawn skipped.
template <class D, class S, bool Fade>
void AlphaColumnsPiece(const SurfaceView& dstView, const SurfaceView& srcView, const OneToOneClip& piece,
                       uint32_t f, unsigned pattern)
{
    const PieceRows32 r(dstView, srcView, piece);
    const int factor = static_cast<int>(f);
    const AlphaPixel<D, S, Fade> step{factor};
#if defined(LANTERN_HAVE_SSE2)
    // The lanes each four columns keep, the same on every row.
    const auto lane = [pattern](int k) { return (pattern >> k & 1) != 0 ? 0 : -1; };
    const __m128i keep[4] = {_mm_set_epi32(lane(3), lane(2), lane(1), lane(0)),
                             _mm_set_epi32(lane(7), lane(6), lane(5), lane(4)),
                             _mm_set_epi32(lane(11), lane(10), lane(9), lane(8)),
                             _mm_set_epi32(lane(15), lane(14), lane(13), lane(12))};
#endif
    const uint8_t* srcRow = r.src;
    uint8_t* dstRow = r.dst;
    for (int j = 0; j < r.rows; ++j, srcRow += r.srcPitch, dstRow += r.dstPitch) {
        int i = 0;
#if defined(LANTERN_HAVE_SSE2)
        if (r.simd) {
            for (; i + 4 <= r.cols; i += 4) {
                if ((pattern >> (i & 15) & 15) != 0) {
                    raster::MixFour32Masked<true, Fade>(dstRow + i * 4, srcRow + i * 4, factor, keep[(i >> 2) & 3]);
                }
            }
        }
#endif
        for (; i < r.cols; ++i) {
            if ((pattern >> (i & 15) & 1) != 0) {
                step(dstRow + i * 4, srcRow + i * 4);
            }
        }
    }
}

// One source column repeated across the clipped piece's columns (see
// PreparedBlt.h): each row's source pixel mixed over its row, four at a time.
template <class D, class S, bool Fade>
void AlphaRepeatPiece(const SurfaceView& dstView, const SurfaceView& srcView, const OneToOneClip& piece, uint32_t f)
{
    const PieceRows32 r(dstView, srcView, piece);
    const int factor = static_cast<int>(f);
    const AlphaPixel<D, S, Fade> step{factor};
    const uint8_t* s = r.src;
    uint8_t* dstRow = r.dst;
    for (int j = 0; j < r.rows; ++j, s += r.srcPitch, dstRow += r.dstPitch) {
        int i = 0;
#if defined(LANTERN_HAVE_SSE2)
        if (r.simd) {
            uint32_t pixel;
            std::memcpy(&pixel, s, 4);
            const __m128i source = _mm_set1_epi32(static_cast<int>(pixel));
            for (; i + 4 <= r.cols; i += 4) {
                uint8_t* d = dstRow + i * 4;
                const __m128i dv4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d), raster::MixFourOf32<true, Fade>(source, dv4, factor));
            }
        }
#endif
        for (; i < r.cols; ++i) {
            step(dstRow + i * 4, s);
        }
    }
}

// Block i of a stretch through the clip and the piece kernel.
template <class D, class S, bool Fade, bool Simd>
[[gnu::noinline]] void AlphaBlockClipped(const SurfaceView& dv, const SurfaceView& sv, const BlockStretch& b, int i,
                                         uint32_t f)
{
    const int32_t left = b.SrcX(i);
    const int32_t top = b.SrcY(i);
    OneToOneClip r;
    if (ClipOneToOne(dv, sv, b.xs[i], b.ys[i], Rect{left, top, left + b.w, top + b.h}, nullptr, &r)) {
        AlphaPieceAt<D, S, Fade, Simd>(dv, sv, r, f);
    }
}

#if defined(LANTERN_HAVE_SSE2)
// Whether every block of a stretch has its corner (x, y) with x - left in
// [0, spanX] and y - top in [0, spanY] (spans at least 0): a whole block
// inside the target. Worked in 32 bits, which the compiler does a vector at a
// time: the target's left and top are at least 0, so a corner left of or
// above it wraps past any span.
inline bool AllBlocksInside(const BlockStretch& b, const Rect& target, int64_t spanX, int64_t spanY)
{
    const uint32_t left = static_cast<uint32_t>(target.left);
    const uint32_t top = static_cast<uint32_t>(target.top);
    const uint32_t sx = static_cast<uint32_t>(spanX);
    const uint32_t sy = static_cast<uint32_t>(spanY);
    uint32_t outside = 0;
    for (int i = 0; i < b.count; ++i) {
        outside |= static_cast<uint32_t>(static_cast<uint32_t>(b.xs[i]) - left > sx) |
                   static_cast<uint32_t>(static_cast<uint32_t>(b.ys[i]) - top > sy);
    }
    return outside == 0;
}

// A 2 x 2 block at (dx, dy) from the one drawn just before it. Overlapping
// it, this one reads and writes its target a pixel at a time (see
// MixQuad32Narrow), except, with sameColumnsWide, one in the same columns:
// that reads whole eight-byte stores of the last one, which forward when the
// last one was drawn wide (after a narrow one the wide read waits; tracking
// which measured slower than either rule). Measured: the thrown blocks near
// home gain by it; the turned grids (whose same-columns blocks mostly follow
// narrow ones) and the dissolves' loop lose, and keep every overlap narrow.
template <bool Fade>
[[gnu::always_inline]] inline void MixQuadAfter(uint8_t* d, intptr_t dp, const uint8_t* s, intptr_t sp, int factor,
                                                int64_t dx, int64_t dy, bool sameColumnsWide)
{
    // dx + 1 in {0, 2}: one column off; in {0, 1, 2}: any overlap across.
    const uint64_t across = static_cast<uint64_t>(dx + 1);
    if ((sameColumnsWide ? (across & ~uint64_t{2}) == 0 : across <= 2) && static_cast<uint64_t>(dy + 1) <= 2) {
        raster::MixQuad32Narrow<true, Fade>(d, d + dp, s, s + sp, factor);
    } else {
        raster::MixQuad32<true, Fade>(d, d + dp, s, s + sp, factor);
    }
}

// A stretch of equal blocks (see PreparedBlt.h) of W x H pixels (W 2 or a
// multiple of 4, H even). The block
// effects draw a screen of blocks a frame (up to 120,000 of 2 x 2), nearly all of them
// whole and landing inside the target: those are mixed straight from their
// rows after two comparisons (four when each has its own source corner),
// the others go through the clip. Avx2 (W a multiple of 4): the inside
// blocks' groups of four pixels by two rows are gathered and mixed eight
// pixels at a time, in order, the gathered ones before any clipped block.
template <class D, class S, bool Fade, int W, int H, bool OwnSource, bool Avx2>
void AlphaWholeBlocks(const SurfaceView& dstView, const SurfaceView& srcView, const BlockStretch& blocks, uint32_t f)
{
    const SurfaceView dv = dstView;
    const SurfaceView sv = srcView;
    const BlockStretch b = blocks;
    const int factor = static_cast<int>(f);
    // The corners at which a whole block stays inside the clip (and the
    // source): x - left in [0, spanX] and so on, each one unsigned comparison.
    const int64_t spanX = int64_t{dv.rect.right} - dv.rect.left - W;
    const int64_t spanY = int64_t{dv.rect.bottom} - dv.rect.top - H;
    const int64_t srcSpanX = int64_t{sv.rect.right} - sv.rect.left - W;
    const int64_t srcSpanY = int64_t{sv.rect.bottom} - sv.rect.top - H;
    const bool rowInside = OwnSource || (b.left >= sv.rect.left && b.top >= sv.rect.top &&
                                         int64_t{b.left} + int64_t{b.count} * W <= sv.rect.right &&
                                         int64_t{b.top} + H <= sv.rect.bottom);
    const auto within = [](int64_t v, int64_t from, int64_t span) {
        return static_cast<uint64_t>(v - from) <= static_cast<uint64_t>(span);
    };
    if (spanX < 0 || spanY < 0 || srcSpanX < 0 || srcSpanY < 0 || !rowInside) {
        for (int i = 0; i < b.count; ++i) {
            AlphaBlockClipped<D, S, Fade, true>(dv, sv, b, i, f);
        }
        return;
    }
    const intptr_t dp = dv.pitch;
    const intptr_t sp = sv.pitch;
    const uint64_t targetW = static_cast<uint64_t>(int64_t{dv.rect.right} - dv.rect.left);
    const uint64_t targetH = static_cast<uint64_t>(int64_t{dv.rect.bottom} - dv.rect.top);
    // The next block's source corner when the stretch is one source row.
    const uint8_t* rowSource = OwnSource ? sv.pixels
                                         : sv.pixels + static_cast<intptr_t>(b.top) * sp + static_cast<intptr_t>(b.left) * 4;
    constexpr int kAhead = 8;
    if constexpr (W == 2 && H == 2 && !OwnSource) {
        // A stretch all inside (the blocks come home at the high levels, a
        // turned grid's rows away from the edges) is mixed without a test
        // per block, its blocks' rows fetched without one.
        if (AllBlocksInside(b, dv.rect, spanX, spanY)) {
            // (Everything the loop reads in locals, not through the
            // lambda's references.)
            const auto mixAll = [pixels = dv.pixels, dp, sp, factor, fetchAhead = b.fetchAhead, xs = b.xs, ys = b.ys,
                                 count = b.count, source = rowSource](auto sameColumnsWide) {
                const uint8_t* sr = source;
                int64_t lastX = INT64_MIN / 2;
                int64_t lastY = 0;
                for (int i = 0; i < count; ++i, sr += 8) {
                    if (fetchAhead && i + kAhead < count) {
                        const uint8_t* row = pixels + int64_t{ys[i + kAhead]} * dp + int64_t{xs[i + kAhead]} * 4;
                        __builtin_prefetch(row, 1);
                        __builtin_prefetch(row + dp, 1);
                    }
                    const int64_t x = xs[i];
                    const int64_t y = ys[i];
                    uint8_t* d = pixels + static_cast<intptr_t>(y) * dp + static_cast<intptr_t>(x) * 4;
                    MixQuadAfter<Fade>(d, dp, sr, sp, factor, x - lastX, y - lastY, decltype(sameColumnsWide)::value);
                    lastX = x;
                    lastY = y;
                }
            };
            // The turned grids (the stretches fetched ahead) walk diagonally.
            b.fetchAhead ? mixAll(std::false_type{}) : mixAll(std::true_type{});
            return;
        }
    }
    constexpr int kGroups = Avx2 ? (W / 4) * (H / 2) : 1;
    constexpr int kGathered = 64 * kGroups;
    uint8_t* groupDst[kGathered];
    const uint8_t* groupSrc[kGathered];
    int groups = 0;
    const auto mixGathered = [&] {
        if (Avx2 && groups != 0) {
            raster::AlphaQuads32Avx2(groupDst, groupSrc, groups, dp, sp, factor, Fade);
            groups = 0;
        }
    };
    // The corner of the block drawn last (for W == 2: see MixQuad32Narrow).
    int64_t lastX = INT64_MIN / 2;
    int64_t lastY = 0;
    const bool sameColumnsWide = !OwnSource && !b.fetchAhead;  // the thrown blocks (see MixQuadAfter)
    for (int i = 0; i < b.count; ++i) {
        const uint8_t* sr = rowSource;
        if constexpr (!OwnSource) {
            rowSource += W * 4;
        }
        if (b.fetchAhead && i + kAhead < b.count) {
            // The rows of a block a few ahead. A fetch hint never faults,
            // but one off the target costs a page walk for nothing, so only
            // blocks whose corner is on it are fetched.
            const int64_t ax = b.xs[i + kAhead];
            const int64_t ay = b.ys[i + kAhead];
            if (static_cast<uint64_t>(ax - dv.rect.left) < targetW && static_cast<uint64_t>(ay - dv.rect.top) < targetH) {
                const uint8_t* row = dv.pixels + ay * dp + ax * 4;
                __builtin_prefetch(row, 1);
                __builtin_prefetch(row + dp, 1);
            }
        }
        const int64_t x = b.xs[i];
        const int64_t y = b.ys[i];
        bool inside = within(x, dv.rect.left, spanX) && within(y, dv.rect.top, spanY);
        if constexpr (OwnSource) {
            const int64_t sx = b.srcXs[i];
            const int64_t sy = b.srcYs[i];
            inside = inside && within(sx, sv.rect.left, srcSpanX) && within(sy, sv.rect.top, srcSpanY);
            sr = sv.pixels + static_cast<intptr_t>(sy) * sp + static_cast<intptr_t>(sx) * 4;
        }
        if (!inside) [[unlikely]] {
            // At the low levels most blocks are thrown wholly off the target.
            if (x < dv.rect.right && x + W > dv.rect.left && y < dv.rect.bottom && y + H > dv.rect.top) {
                mixGathered();
                AlphaBlockClipped<D, S, Fade, true>(dv, sv, b, i, f);
                lastX = x;
                lastY = y;
            }
            continue;
        }
        uint8_t* d = dv.pixels + static_cast<intptr_t>(y) * dp + static_cast<intptr_t>(x) * 4;
        if constexpr (Avx2) {
            if (groups + kGroups > kGathered) {
                mixGathered();
            }
            for (int j = 0; j < H; j += 2, sr += 2 * sp, d += 2 * dp) {
                for (int k = 0; k < W * 4; k += 16) {
                    groupDst[groups] = d + k;
                    groupSrc[groups++] = sr + k;
                }
            }
            continue;
        }
        for (int j = 0; j < H; j += 2, sr += 2 * sp, d += 2 * dp) {
            if constexpr (W == 2) {
                MixQuadAfter<Fade>(d, dp, sr, sp, factor, x - lastX, y - lastY, sameColumnsWide);
            } else {
                for (int k = 0; k < W * 4; k += 16) {
                    raster::MixFour32<true, Fade>(d + k, sr + k, factor);
                    raster::MixFour32<true, Fade>(d + dp + k, sr + sp + k, factor);
                }
            }
        }
        lastX = x;
        lastY = y;
    }
    mixGathered();
}
#endif

template <class D, class S, bool Fade, bool OwnSource>
bool AlphaWholeBlocksOf(const SurfaceView& dst, const SurfaceView& src, const BlockStretch& blocks, uint32_t f)
{
#if defined(LANTERN_HAVE_SSE2)
    const bool avx2 = raster::CurrentSimdLevel() == raster::SimdLevel::kAvx2;
    if (blocks.w == 2 && blocks.h == 2) {
        AlphaWholeBlocks<D, S, Fade, 2, 2, OwnSource, false>(dst, src, blocks, f);
    } else if (blocks.w == 4 && blocks.h == 2) {
        avx2 ? AlphaWholeBlocks<D, S, Fade, 4, 2, OwnSource, true>(dst, src, blocks, f)
             : AlphaWholeBlocks<D, S, Fade, 4, 2, OwnSource, false>(dst, src, blocks, f);
    } else if (blocks.w == 4 && blocks.h == 4) {
        avx2 ? AlphaWholeBlocks<D, S, Fade, 4, 4, OwnSource, true>(dst, src, blocks, f)
             : AlphaWholeBlocks<D, S, Fade, 4, 4, OwnSource, false>(dst, src, blocks, f);
    } else if (blocks.w == 8 && blocks.h == 8) {
        avx2 ? AlphaWholeBlocks<D, S, Fade, 8, 8, OwnSource, true>(dst, src, blocks, f)
             : AlphaWholeBlocks<D, S, Fade, 8, 8, OwnSource, false>(dst, src, blocks, f);
    } else {
        return false;
    }
    return true;
#else
    return false;
#endif
}

template <class D, class S, bool Fade>
void AlphaBlocks(const SurfaceView& dst, const SurfaceView& src, const BlockStretch& blocks, uint32_t f)
{
    if (raster::SimdEnabled()) {
        const bool done = blocks.srcXs != nullptr && blocks.srcYs != nullptr
                              ? AlphaWholeBlocksOf<D, S, Fade, true>(dst, src, blocks, f)
                              : AlphaWholeBlocksOf<D, S, Fade, false>(dst, src, blocks, f);
        if (!done) {
            for (int i = 0; i < blocks.count; ++i) {
                AlphaBlockClipped<D, S, Fade, true>(dst, src, blocks, i, f);
            }
        }
        return;
    }
    for (int i = 0; i < blocks.count; ++i) {
        AlphaBlockClipped<D, S, Fade, false>(dst, src, blocks, i, f);
    }
}

template <class D, class S>
int AlphaKernel(CFastPlane& dst, CFastPlane& src, int x, int y, const Rect* srcRect, const Size* dstSize,
                const Rect* clip)
{
    return AlphaWalk<D, S, false>(dst, src, x, y, 255, srcRect, dstSize, clip);
}

template <class D, class S>
int AlphaFadeKernel(CFastPlane& dst, CFastPlane& src, int x, int y, int factor, const Rect* srcRect,
                    const Size* dstSize, const Rect* clip)
{
    return AlphaWalk<D, S, true>(dst, src, x, y, factor & 0xFF, srcRect, dstSize, clip);
}

template <class... Args>
int RefusePair(CFastPlane&, CFastPlane&, Args...)
{
    return kPlaneFormatPair;
}

using AlphaFn = int (*)(CFastPlane&, CFastPlane&, int, int, const Rect*, const Size*, const Rect*);
using AlphaFadeFn = int (*)(CFastPlane&, CFastPlane&, int, int, int, const Rect*, const Size*, const Rect*);

// The accepted pairs: a screen format from its alpha format; without the
// fade also an alpha format onto itself, compositing the two alphas (the
// faded form has no such kernel).
template <class D, class S, bool Fade>
constexpr bool kAlphaPair =
    IsCrossPair(D::kCode, S::kCode) || (!Fade && D::kCode == S::kCode && IsAlphaFormat(D::kCode));

constexpr PairTable<AlphaFn> kAlphaKernels(&RefusePair<int, int, const Rect*, const Size*, const Rect*>,
                                           [](auto d, auto s, AlphaFn* slot) {
                                               if constexpr (kAlphaPair<decltype(d), decltype(s), false>) {
                                                   *slot = &AlphaKernel<decltype(d), decltype(s)>;
                                               }
                                           });

constexpr PairTable<AlphaFadeFn> kAlphaFadeKernels(
    &RefusePair<int, int, int, const Rect*, const Size*, const Rect*>, [](auto d, auto s, AlphaFadeFn* slot) {
        if constexpr (kAlphaPair<decltype(d), decltype(s), true>) {
            *slot = &AlphaFadeKernel<decltype(d), decltype(s)>;
        }
    });

template <bool Fade>
constexpr PairTable<PieceKernel> kAlphaPieceKernels(&DrawNoPiece, [](auto d, auto s, PieceKernel* slot) {
    if constexpr (kAlphaPair<decltype(d), decltype(s), Fade>) {
        *slot = &AlphaPiece<decltype(d), decltype(s), Fade>;
    }
});

template <bool Fade>
constexpr PairTable<PieceBatchKernel> kAlphaPieceBatches(&DrawPieceBatch<&DrawNoPiece>,
                                                         [](auto d, auto s, PieceBatchKernel* slot) {
    if constexpr (kAlphaPair<decltype(d), decltype(s), Fade>) {
        *slot = &AlphaPieceBatch<decltype(d), decltype(s), Fade>;
    }
});

// The pairs with the drawer's row forms (column patterns, block stretches,
// repeated columns): 32-bit screens from their alpha formats.
template <class D, class S, bool Fade>
constexpr bool kHasRowForms = kAlphaPair<D, S, Fade> && kHasAlphaRow<D, S, Fade> && D::kBytes == 4;

template <bool Fade>
constexpr PairTable<PieceColumnsKernel> kAlphaColumnsKernels(nullptr, [](auto d, auto s, PieceColumnsKernel* slot) {
    if constexpr (kHasRowForms<decltype(d), decltype(s), Fade>) *slot = &AlphaColumnsPiece<decltype(d), decltype(s), Fade>;
});

template <bool Fade>
constexpr PairTable<PieceBlocksKernel> kAlphaBlocksKernels(nullptr, [](auto d, auto s, PieceBlocksKernel* slot) {
    if constexpr (kHasRowForms<decltype(d), decltype(s), Fade>) *slot = &AlphaBlocks<decltype(d), decltype(s), Fade>;
});

template <bool Fade>
constexpr PairTable<PieceRepeatKernel> kAlphaRepeatKernels(nullptr, [](auto d, auto s, PieceRepeatKernel* slot) {
    if constexpr (kHasRowForms<decltype(d), decltype(s), Fade>) *slot = &AlphaRepeatPiece<decltype(d), decltype(s), Fade>;
});

// The kernel of a pair from the faded or the plain table.
template <class Kernel>
Kernel FindByFade(const PairTable<Kernel>& faded, const PairTable<Kernel>& plain, bool fade, int dstFormat,
                  int srcFormat)
{
    return (fade ? faded : plain).Find(dstFormat, srcFormat);
}

}  // namespace

PieceRepeatKernel FindAlphaRepeatKernel(int dstFormat, int srcFormat, bool fade)
{
    return FindByFade(kAlphaRepeatKernels<true>, kAlphaRepeatKernels<false>, fade, dstFormat, srcFormat);
}

PieceBlocksKernel FindAlphaBlocksKernel(int dstFormat, int srcFormat, bool fade)
{
    return FindByFade(kAlphaBlocksKernels<true>, kAlphaBlocksKernels<false>, fade, dstFormat, srcFormat);
}

PieceColumnsKernel FindAlphaColumnsKernel(int dstFormat, int srcFormat, bool fade)
{
    return FindByFade(kAlphaColumnsKernels<true>, kAlphaColumnsKernels<false>, fade, dstFormat, srcFormat);
}

PieceKernel FindAlphaPieceKernel(int dstFormat, int srcFormat, bool fade)
{
    return FindByFade(kAlphaPieceKernels<true>, kAlphaPieceKernels<false>, fade, dstFormat, srcFormat);
}

PieceBatchKernel FindAlphaPieceBatch(int dstFormat, int srcFormat, bool fade)
{
    return FindByFade(kAlphaPieceBatches<true>, kAlphaPieceBatches<false>, fade, dstFormat, srcFormat);
}

int CFastPlane::AlphaBltFast(CFastPlane* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                             const Rect* clip)
{
    return DrawPair(kAlphaKernels, this, src, x, y, srcRect, dstSize, clip);
}

int CFastPlane::AlphaBltFastFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect,
                                 const Size* dstSize, const Rect* clip)
{
    return DrawPair(kAlphaFadeKernels, this, src, x, y, factor, srcRect, dstSize, clip);
}
