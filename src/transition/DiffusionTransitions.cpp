#include "transition/DiffusionTransitions.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "display/CosTable.h"
#include "frame/MulDiv.h"
#include "transition/EffectTables.h"
#include "transition/TransitionFrame.h"

using namespace transition;

namespace {

// What every block of a frame shares.
struct Motion {
    int64_t w;
    int64_t h;
    int64_t level;
    int64_t scatter;  // K: about w + h at level 1, about (w + h) / 256 at 255
    int64_t angle;    // A: an index into the cosine table; 256 is half a turn
};

struct Offset {
    int64_t x;
    int64_t y;
};

int64_t Rt(int64_t i)
{
    return gEffectRandomTable[i & 255];
}

int64_t Cos(int64_t i)
{
    return gCosTable[i & 511];
}

// The block's corner relative to the picture centre.
struct Radial {
    int64_t dx;
    int64_t dy;
};

Radial RadialOf(const Motion& m, int64_t bx, int64_t by)
{
    return {bx - m.w / 2, by - m.h / 2};
}

// Its distance from the centre, truncated.
int64_t DistanceOf(const Radial& r)
{
    return static_cast<int64_t>(std::sqrt(static_cast<double>(r.dx * r.dx + r.dy * r.dy)));
}

// The effects whose blocks scatter at random draw them without joining
// neighbours (see RunTransition); those whose offsets follow the position
// smoothly keep joining, as neighbours there mostly move together.
constexpr bool kJoinScattered = false;

// The common frame of the block effects: the shared tables are made after the
// size query and before the height test, then every block of the grid is
// drawn, in grid order, at its home position plus offset(m, bx, by, blockRow).
template <bool JoinBlocks = true, bool FetchAhead = false, class OffsetFn>
int MoveBlocks(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip, int64_t blockW, int64_t blockH, OffsetFn offset)
{
    return RunTransition<JoinBlocks>(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        CreateEffectTables();
        if (s.h < 1) {
            return;
        }
        const int64_t sum = s.w + s.h;
        const Motion m{s.w, s.h, level, sum - ((sum * level) >> 8), (256 - int64_t{level}) * 2};
        // The offsets of a stretch of a block row are worked out before its
        // blocks are drawn: each is a chain of square root and divisions that
        // depends on nothing drawn, and apart from the drawing the chains of
        // neighbouring blocks overlap in the processor instead of waiting on
        // each other's pieces.
        constexpr int kStretch = 64;
        Offset offsets[kStretch];
        int64_t blockRow = 0;
        for (int64_t by = 0; by < s.h; by += blockH, ++blockRow) {
            for (int64_t first = 0; first < s.w; first += blockW * kStretch) {
                const int64_t end = std::min(s.w, first + blockW * kStretch);
                using Sink = std::decay_t<decltype(sink)>;
                if constexpr (Sink::kDrawsBlocks) {
                    // A stretch of whole blocks goes to the drawer as their
                    // places alone (the blocks' own rectangles follow from
                    // the first), each worked straight into its place (the
                    // origin in locals: the places' stores could otherwise
                    // alias it); the cut blocks at the right and bottom
                    // edges take the piece path below.
                    if (by + blockH <= s.h && end - first == (end - first) / blockW * blockW) {
                        int32_t xs[kStretch];
                        int32_t ys[kStretch];
                        const int64_t rowX = int64_t{x} + first;
                        const int64_t rowY = int64_t{y} + by;
                        int n = 0;
                        if constexpr (requires { offset.PlaceRow(m, first, end, by, blockRow, rowX, rowY, xs, ys); }) {
                            n = offset.PlaceRow(m, first, end, by, blockRow, rowX, rowY, xs, ys);
                        }
                        if (n == 0) {
                            for (int64_t bx = first; bx < end; bx += blockW, ++n) {
                                const Offset o = offset(m, bx, by, blockRow);
                                xs[n] = Saturate32(rowX + (bx - first) + o.x);
                                ys[n] = Saturate32(rowY + o.y);
                            }
                        }
                        BlockStretch stretch{static_cast<int32_t>(first), static_cast<int32_t>(by),
                                             static_cast<int32_t>(blockW), static_cast<int32_t>(blockH), xs, ys, n};
                        stretch.fetchAhead = FetchAhead;
                        sink.DrawBlocks(stretch);
                        continue;
                    }
                }
                int n = 0;
                for (int64_t bx = first; bx < end; bx += blockW) {
                    offsets[n++] = offset(m, bx, by, blockRow);
                }
                if constexpr (Sink::kDrawsBatches) {
                    // The stretch goes to the drawer in one call.
                    PlacedPiece pieces[kStretch];
                    n = 0;
                    for (int64_t bx = first; bx < end; bx += blockW, ++n) {
                        Piece p{bx, by, blockW, blockH};
                        ClampPieceToSource(p, s.w, s.h);
                        pieces[n] = {Saturate32(x + bx + offsets[n].x), Saturate32(y + by + offsets[n].y), PieceRect(p)};
                    }
                    sink.DrawBatch(pieces, n);
                } else {
                    n = 0;
                    for (int64_t bx = first; bx < end; bx += blockW) {
                        const Offset o = offsets[n++];
                        DrawAt(sink, x + bx + o.x, y + by + o.y, {bx, by, blockW, blockH}, s.w, s.h);
                    }
                }
            }
        }
    });
}

// A block's direction from the picture centre, 256 * (dx, dy) / distance
// truncated (0 at the centre).
struct Direction {
    int16_t x;
    int16_t y;
};

Direction DirectionOf(const Motion& m, int64_t bx, int64_t by)
{
    const Radial r = RadialOf(m, bx, by);
    const int64_t dist = DistanceOf(r);
    if (dist == 0) {
        return {};
    }
    return {static_cast<int16_t>(TruncDiv(r.dx * 256, dist)), static_cast<int16_t>(TruncDiv(r.dy * 256, dist))};
}

// What a block of a grid keeps that depends on the picture size and the
// block size only, not on the level (a square root, and for the directions
// two divisions, per block: a screen of 2 x 2 blocks), is worked out once per
// size and kept for the frames that follow. The transitions run on the main
// thread only.
template <class Cell, Cell (*CellOf)(const Motion&, int64_t, int64_t)>
class BlockGrid {
public:
    // The grid's cells in block order, or null for a picture too large to
    // keep them for (the caller then works each out).
    const Cell* For(const Motion& m, int64_t blockW, int64_t blockH)
    {
        // 1600 x 1200 in 2 x 2 blocks; the game's pictures are far smaller.
        constexpr int64_t kMaxCells = 480000;
        const int64_t cols = (m.w + blockW - 1) / blockW;
        const int64_t rows = (m.h + blockH - 1) / blockH;
        if (cols * rows > kMaxCells) {
            return nullptr;
        }
        if (m.w != w_ || m.h != h_ || blockW != blockW_ || blockH != blockH_) {
            w_ = m.w, h_ = m.h, blockW_ = blockW, blockH_ = blockH;
            cols_ = cols;
            cells_.clear();
            cells_.reserve(static_cast<size_t>(cols_ * rows));
            for (int64_t by = 0; by < m.h; by += blockH) {
                for (int64_t bx = 0; bx < m.w; bx += blockW) {
                    cells_.push_back(CellOf(m, bx, by));
                }
            }
        }
        return cells_.data();
    }
    int64_t Columns() const { return cols_; }

private:
    int64_t w_ = -1, h_ = -1, blockW_ = 0, blockH_ = 0, cols_ = 0;
    std::vector<Cell> cells_;
};

// Blocks thrown outward from the centre by a random share of K: a block's
// throw is its direction scaled by its two random bytes (two random index
// bases run per block row of 2: 26 and 38 apart from row to row), and a
// frame scales the throw by K >> 16. The throw depends on the picture and
// block size only, so it is what the grid keeps.
struct Throw {
    int32_t x;  // at most 255 * 256 either way
    int32_t y;
};

Throw ThrowOf(const Motion& m, int64_t bx, int64_t by)
{
    const Direction u = DirectionOf(m, bx, by);
    const int64_t blockRow = by / 2;
    return {static_cast<int32_t>(Rt(26 * blockRow + bx) * u.x), static_cast<int32_t>(Rt(1 + 38 * blockRow + bx) * u.y)};
}

using ThrowGrid = BlockGrid<Throw, &ThrowOf>;

// A grid per block size the effects use (2 x 2 and 4 x 2), so that two
// effects taking turns do not rebuild each other's.
ThrowGrid& GridFor(int64_t blockW)
{
    static ThrowGrid grids[2];
    return grids[blockW == 2 ? 0 : 1];
}

// (A lambda, so that the block loop gets it inline.)
constexpr auto Congeries = [](const Motion& m, Throw t) -> Offset {
    return {(int64_t{t.x} * m.scatter) >> 16, (int64_t{t.y} * m.scatter) >> 16};
};

// A thrown block's offset: offset(m, throw), the throw from the grid's cells
// (or worked out, for a picture too large to keep them for).
template <int64_t BlockW, class OffsetFn>
struct ThrownOffset {
    const Throw* cells;
    int64_t cols;
    int64_t x;  // the picture's corner on the target
    int64_t y;
    OffsetFn offset;

    Offset operator()(const Motion& m, int64_t bx, int64_t by, int64_t blockRow) const
    {
        const Throw t = cells != nullptr ? cells[blockRow * cols + bx / BlockW] : ThrowOf(m, bx, by);
        return offset(m, t);
    }

    // The places of the whole blocks from first to end of block row
    // blockRow, straight from the row's cells; 0 (none placed) when the grid is not
    // kept or a place could leave 32 bits. An offset is at most K + 1 either
    // way (a throw is at most 255 * 256, and a turn only shortens it), and
    // K is at most w + h, so with the corner and the picture under 2^28 no
    // place needs the saturation the general loop applies.
    int PlaceRow(const Motion& m, int64_t first, int64_t end, int64_t /*by*/, int64_t blockRow, int64_t rowX,
                 int64_t rowY, int32_t* xs, int32_t* ys) const
    {
        constexpr int64_t kSafe = int64_t{1} << 28;
        if (cells == nullptr || x < -kSafe || x > kSafe || y < -kSafe || y > kSafe || m.w + m.h > kSafe) {
            return 0;
        }
        const Throw* row = cells + blockRow * cols + first / BlockW;
        const int n = static_cast<int>((end - first) / BlockW);
        if constexpr (std::is_same_v<OffsetFn, std::decay_t<decltype(Congeries)>>) {
            // Under K = 2^15 a throw times K fits 32 bits (255 * 256 * 2^15
            // < 2^31), and the places are then worked in 32 bits, which the
            // compiler turns into vector steps.
            if (m.scatter < 32768) {
                const int32_t k = static_cast<int32_t>(m.scatter);
                const int32_t x0 = static_cast<int32_t>(rowX);
                const int32_t y0 = static_cast<int32_t>(rowY);
                for (int i = 0; i < n; ++i) {
                    xs[i] = x0 + i * static_cast<int32_t>(BlockW) + ((row[i].x * k) >> 16);
                    ys[i] = y0 + ((row[i].y * k) >> 16);
                }
                return n;
            }
        }
        for (int i = 0; i < n; ++i) {
            const Offset o = offset(m, row[i]);
            xs[i] = static_cast<int32_t>(rowX + i * BlockW + o.x);
            ys[i] = static_cast<int32_t>(rowY + o.y);
        }
        return n;
    }
};

// The block effects that throw blocks outward: offset(m, throw), on blocks of
// BlockW x 2. The grid reads the random table, which is made first (as the
// block frame would make it, with nothing drawn from the generator between).
template <int64_t BlockW, class OffsetFn>
int MoveBlocksOutward(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                      uint32_t modeArg, const Rect* clip, OffsetFn offset)
{
    constexpr int64_t kBlockH = 2;
    const Throw* cells = nullptr;
    int64_t cols = 0;
    if (level >= 1 && level < 256 && src != nullptr) {
        const SourceSize size = QuerySize(src);
        CreateEffectTables();
        ThrowGrid& grid = GridFor(BlockW);
        cells = grid.For(Motion{size.w, size.h, 0, 0, 0}, BlockW, kBlockH);
        cols = grid.Columns();
    }
    return MoveBlocks<kJoinScattered>(dst, src, x, y, level, mode, modeArg, clip, BlockW, kBlockH,
                                      ThrownOffset<BlockW, OffsetFn>{cells, cols, x, y, offset});
}

// The turned grids' blocks walk the target along lines: their target rows
// are fetched a few blocks ahead (see BlockStretch::fetchAhead).
constexpr bool kFetchTurned = true;

template <int64_t BlockW>
struct RotateGrid {
    Offset operator()(const Motion& m, int64_t bx, int64_t by, int64_t) const
    {
        const Radial r = RadialOf(m, bx, by);
        const int64_t cs = Cos(m.angle);
        const int64_t sn = Cos(m.angle - 128);
        const int64_t rx = ((cs * r.dx) >> 16) - ((sn * r.dy) >> 16);
        const int64_t ry = ((cs * r.dy) >> 16) + ((sn * r.dx) >> 16);
        // Drawn at the centre plus the turned offset: home - d + turned d.
        return {rx - r.dx, ry - r.dy};
    }

    // The places of the whole blocks from first to end of the block row at
    // by: the centre plus the turned offset, whose terms in dy are the
    // row's and whose terms in dx step by BlockW times the cosine and sine
    // from block to block. 0 (none placed) unless every term fits 32 bits:
    // a cosine is at most 2^16, so with the picture under 2^14 pixels a side
    // and the corner within 2^28 none leaves them, nor needs saturating.
    int PlaceRow(const Motion& m, int64_t first, int64_t end, int64_t by, int64_t, int64_t rowX, int64_t rowY,
                 int32_t* xs, int32_t* ys) const
    {
        constexpr int64_t kSafe = int64_t{1} << 28;
        constexpr int64_t kSide = int64_t{1} << 14;
        if (m.w >= kSide || m.h >= kSide || rowX < -kSafe || rowX > kSafe || rowY < -kSafe || rowY > kSafe) {
            return 0;
        }
        const int32_t cs = static_cast<int32_t>(Cos(m.angle));
        const int32_t sn = static_cast<int32_t>(Cos(m.angle - 128));
        const Radial r = RadialOf(m, first, by);
        const int32_t dx0 = static_cast<int32_t>(r.dx);
        const int32_t dy = static_cast<int32_t>(r.dy);
        // xs = home + rx - dx = the corner + w / 2 + rx, and the same down.
        const int32_t cx = static_cast<int32_t>(rowX - first + m.w / 2) - ((sn * dy) >> 16);
        const int32_t cy = static_cast<int32_t>(rowY - by + m.h / 2) + ((cs * dy) >> 16);
        const int n = static_cast<int>((end - first) / BlockW);
        for (int i = 0; i < n; ++i) {
            const int32_t dx = dx0 + i * static_cast<int32_t>(BlockW);
            xs[i] = cx + ((cs * dx) >> 16);
            ys[i] = cy + ((sn * dx) >> 16);
        }
        return n;
    }
};

// The two random bytes of a 4 x 4 gathering cell; the bases step 13 and 19
// per cell row.
Offset GatherBytes(int64_t bx, int64_t blockRow)
{
    const int64_t i = bx >> 2;
    return {Rt(i + blockRow * 13), Rt(i + blockRow * 19)};
}

// Cells of e x e rise into view on their own schedule: a cell starts when
// (r >> 1) + level reaches 144 (e = 8) or 136 (e = 16).
int EnterUp(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
            uint32_t modeArg, const Rect* clip, int64_t cell)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        CreateEffectTables();
        if (s.h < 1) {
            return;
        }
        const int64_t rowStep = cell == 8 ? 104 : 208;
        const int shift = cell == 8 ? 4 : 3;
        int64_t ro = 0;
        for (int64_t by = 0; by < s.h; by += cell, ro += rowStep) {
            for (int64_t bx = 0; bx < s.w; bx += cell) {
                const int64_t r = Rt((bx >> 3) + ro);
                int64_t risen = (((r >> 1) + level) >> shift) - cell;
                if (risen < 1) {
                    continue;
                }
                risen = std::min(risen, cell);
                DrawAt(sink, x + bx, y + by + cell - risen, {bx, by, cell, risen}, s.w, s.h);
            }
        }
    });
}

}  // namespace

// Blocks start up to K pixels right of and below their places and slide in.
int DiagonalDiffusionBlt(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                         uint32_t modeArg, const Rect* clip)
{
    return MoveBlocks<kJoinScattered>(dst, src, x, y, level, mode, modeArg, clip, 4, 2,
                      [](const Motion& m, int64_t bx, int64_t by, int64_t) {
                          const int64_t i = bx + by;
                          return Offset{(Rt(i) * m.scatter) >> 8, (Rt(i + 1) * m.scatter) >> 8};
                      });
}

int DiffusionCongeriesBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                           uint32_t modeArg, const Rect* clip)
{
    return MoveBlocksOutward<4>(dst, src, x, y, level, mode, modeArg, clip, Congeries);
}

int DiffusionCongeriesBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                           uint32_t modeArg, const Rect* clip)
{
    return MoveBlocksOutward<2>(dst, src, x, y, level, mode, modeArg, clip, Congeries);
}

// The radial offsets scaled by the cosine and sine of an angle that turns
// with the level, so the blocks swirl as they come in.
int DiffusionCongeriesBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                           uint32_t modeArg, const Rect* clip)
{
    return MoveBlocksOutward<4>(dst, src, x, y, level, mode, modeArg, clip, [](const Motion& m, Throw t) {
                          const Offset o = Congeries(m, t);
                          return Offset{(o.x * Cos(m.angle)) >> 16, (o.y * Cos(m.angle - 128)) >> 16};
                      });
}

namespace {

// A block's corner relative to the centre and its distance, truncated.
struct Polar {
    int32_t dx;
    int32_t dy;
    int32_t dist;
};

Polar PolarOf(const Motion& m, int64_t bx, int64_t by)
{
    const Radial r = RadialOf(m, bx, by);
    return {static_cast<int32_t>(r.dx), static_cast<int32_t>(r.dy), static_cast<int32_t>(DistanceOf(r))};
}

// The 4 x 2 blocks' distances, kept per picture size as the directions are.
using PolarGrid = BlockGrid<Polar, &PolarOf>;

// The cosine products reach 65536 * 256 * |dx|, past 32 bits for most blocks
// of an 800 x 600 picture; they are formed in 64 bits so every block lands
// where its formula puts it.
// (Forced inline: called out of line for every block, the frame's cosines
// were looked up again per block.)
[[gnu::always_inline]] inline Offset Squash(const Motion& m, int64_t dx, int64_t dy, int64_t dist)
{
    if (dist == 0) {
        return Offset{};
    }
    const int64_t ux = TruncDiv((Cos(m.angle - 128) * (dx * 256)) >> 16, dist);
    const int64_t uy = TruncDiv((Cos(m.angle) * (dy * 256)) >> 16, dist);
    return Offset{(ux * m.scatter) >> 8, (uy * m.scatter) >> 8};
}

}  // namespace

int SquashBlt(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    constexpr int64_t kBlockW = 4;
    constexpr int64_t kBlockH = 2;
    const Polar* cells = nullptr;
    int64_t cols = 0;
    if (level >= 1 && level < 256 && src != nullptr) {
        static PolarGrid grid;
        const SourceSize size = QuerySize(src);
        cells = grid.For(Motion{size.w, size.h, 0, 0, 0}, kBlockW, kBlockH);
        cols = grid.Columns();
    }
    return MoveBlocks(dst, src, x, y, level, mode, modeArg, clip, kBlockW, kBlockH,
                      [cells, cols](const Motion& m, int64_t bx, int64_t by, int64_t blockRow) {
                          if (cells == nullptr) {
                              const Radial r = RadialOf(m, bx, by);
                              return Squash(m, r.dx, r.dy, DistanceOf(r));
                          }
                          const Polar p = cells[blockRow * cols + bx / kBlockW];
                          return Squash(m, p.dx, p.dy, p.dist);
                      });
}

int ForwardRollBlt(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                   uint32_t modeArg, const Rect* clip)
{
    return MoveBlocks(dst, src, x, y, level, mode, modeArg, clip, 4, 2,
                      [](const Motion& m, int64_t bx, int64_t by, int64_t) {
                          const Radial r = RadialOf(m, bx, by);
                          const int64_t cx = Cos(m.angle >> 2);
                          const int64_t sy = Cos(m.angle - 128);
                          // Both products fit 32 bits for any picture under
                          // 32768 pixels a side; larger ones saturate.
                          const int32_t k = Saturate32(m.scatter);
                          return Offset{MulDiv(k, Saturate32(r.dx * cx), 16777216),
                                        MulDiv(k, Saturate32(r.dy * sy), 16777216)};
                      });
}

// The turned grid's neighbours seldom land next to each other on the same
// rows (even a small turn steps the rows every few blocks), so the blocks are
// not joined: the join test would cost more than it saves.
int RotationBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                 uint32_t modeArg, const Rect* clip)
{
    return MoveBlocks<kJoinScattered, kFetchTurned>(dst, src, x, y, level, mode, modeArg, clip, 2, 2, RotateGrid<2>{});
}

int RotationBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                 uint32_t modeArg, const Rect* clip)
{
    return MoveBlocks<true, kFetchTurned>(dst, src, x, y, level, mode, modeArg, clip, 4, 4, RotateGrid<4>{});
}

int RotationBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                 uint32_t modeArg, const Rect* clip)
{
    return MoveBlocks<true, kFetchTurned>(dst, src, x, y, level, mode, modeArg, clip, 8, 8, RotateGrid<8>{});
}

int EnterUpBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip)
{
    return EnterUp(dst, src, x, y, level, mode, modeArg, clip, 8);
}

int EnterUpBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip)
{
    return EnterUp(dst, src, x, y, level, mode, modeArg, clip, 16);
}

// Cells start up to 128 pixels away in any direction and converge with 1 / D.
int CellGatherBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                   uint32_t modeArg, const Rect* clip)
{
    return MoveBlocks<kJoinScattered>(dst, src, x, y, level, mode, modeArg, clip, 4, 4,
                      [](const Motion& m, int64_t bx, int64_t, int64_t blockRow) {
                          const Offset r = GatherBytes(bx, blockRow);
                          const int64_t d = (m.level >> 1) + 1;
                          return Offset{TruncDiv(r.x - 128, d), TruncDiv(r.y - 128, d)};
                      });
}

// Cells come in from below and from both sides, converging linearly.
int CellGatherBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                   uint32_t modeArg, const Rect* clip)
{
    return MoveBlocks<kJoinScattered>(dst, src, x, y, level, mode, modeArg, clip, 4, 4,
                      [](const Motion& m, int64_t bx, int64_t, int64_t blockRow) {
                          const Offset r = GatherBytes(bx, blockRow);
                          const int64_t scale = 256 - m.level;
                          return Offset{((r.x - 128) * scale) >> 11, (r.y * scale) >> 11};
                      });
}
