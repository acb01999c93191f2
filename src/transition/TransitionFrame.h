#pragma once
// The frame every transition runs in: the level gate, the one-operation path,
// the four draw modes and the piece clamp. Effects describe only their pieces,
// as a function that receives a piece sink; the sink is picked from the draw
// mode once per call, so the per-piece path neither branches on the mode nor
// allocates.
//
// When both planes are display planes the mode's operation is resolved once
// per call to a PreparedBlt (surface views and the format pair's kernel), and
// the 1:1 pieces go to it straight; pieces that continue the previous one on
// the same rows are drawn together with it (unless the effect asks not to).
// Any other planes, and a plane drawn onto itself, get one plane-interface
// call per piece.
//
// Geometry is worked in 64-bit integers: for every plane the game can make
// the results equal the 32-bit formulas the effects are written in, and on
// absurdly large planes nothing wraps; positions and rectangles are saturated
// to 32 bits only when handed to the plane.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "display/PreparedBlt.h"
#include "display/PlaneBase.h"
#include "frame/Rect.h"
#include "transition/TransitionFunc.h"

namespace transition {

inline int32_t Saturate32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// n / d truncated toward zero, as the integer division gives it, without a
// 64-bit integer division per block or pixel. Below 2^26 for |n| and |d| the double
// quotient is within 2^-27 of n / d, nearer than a quotient that is not a
// whole number ever comes to one (1 / |d|), and it keeps its sign, so its
// truncation is the same; larger operands take the integer division.
inline int64_t TruncDiv(int64_t n, int64_t d)
{
    constexpr int64_t kExact = int64_t{1} << 26;
    if (n > -kExact && n < kExact && d > -kExact && d < kExact) {
        return static_cast<int64_t>(static_cast<double>(n) / static_cast<double>(d));
    }
    return n / d;
}

// A piece of the source in (left, top, width, height) form.
struct Piece {
    int64_t left;
    int64_t top;
    int64_t width;
    int64_t height;
};

// Keeps a piece inside the source: a negative left or top moves to 0 without
// shrinking the piece, then the far edges are cut at the source's size. A
// piece that starts at or past the far edge comes out empty or inverted, and
// the plane draws nothing for it.
inline void ClampPieceToSource(Piece& p, int64_t srcWidth, int64_t srcHeight)
{
    if (p.left < 0) {
        p.left = 0;
    }
    if (p.top < 0) {
        p.top = 0;
    }
    if (p.left + p.width > srcWidth) {
        p.width = srcWidth - p.left;
    }
    if (p.top + p.height > srcHeight) {
        p.height = srcHeight - p.top;
    }
}

inline Rect MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    Rect r;
    SetRect(&r, Saturate32(left), Saturate32(top), Saturate32(right), Saturate32(bottom));
    return r;
}

inline Rect PieceRect(const Piece& p)
{
    return MakeRect(p.left, p.top, p.left + p.width, p.top + p.height);
}

// A column pattern that repeats every four columns (bit c: the columns c mod
// 4) as the sixteen-column pattern of DrawColumns.
constexpr unsigned RepeatEveryFour(unsigned pattern)
{
    return (pattern & 15) * 0x1111u;
}

// The sixteen-column pattern of DrawColumns whose bit c is drawn(c).
template <class Drawn>
constexpr unsigned ColumnPattern(Drawn drawn)
{
    unsigned pattern = 0;
    for (int64_t c = 0; c < 16; ++c) {
        pattern |= (drawn(c) ? 1u : 0u) << c;
    }
    return pattern;
}

// Piece sinks, one per draw mode. Each draws one source rectangle at a
// destination point, 1:1 or (tensile only) stretched to a destination size.
struct SinkBase {
    CPlaneBase* dst;
    CPlaneBase* src;
    const Rect* clip;
    uint32_t modeArg;
    // True for a sink that joins a piece continuing the previous one on the
    // same rows: an effect may then hand it such a row of pieces whole.
    static constexpr bool kJoinsPieces = false;
    // True for a sink with DrawBatch(pieces, count): 1:1 pieces drawn in order.
    static constexpr bool kDrawsBatches = false;
    // True for a sink with DrawColumns(px, py, piece, pattern): the columns c
    // of a 1:1 piece with bit (c - piece.left) mod 16 of pattern set, each as
    // its own one-column piece would draw it.
    static constexpr bool kDrawsColumns = false;
    // True for a sink with DrawBlocks(stretch): a BlockStretch's blocks in
    // order, each as its own 1:1 piece would draw it.
    static constexpr bool kDrawsBlocks = false;
    // True for the display planes' direct sink, whose 1:1 pieces cost no
    // plane call: an effect may hand it a stretch as the 1:1 pieces it
    // amounts to, or a column stretched across to DrawRepeated.
    static constexpr bool kDirect = false;
};

struct BltSink : SinkBase {
    void operator()(int64_t px, int64_t py, const Rect& piece, const Size* dstSize = nullptr) const
    {
        dst->Blt(src, Saturate32(px), Saturate32(py), &piece, dstSize, clip);
    }
};

struct ColorKeySink : SinkBase {
    void operator()(int64_t px, int64_t py, const Rect& piece, const Size* dstSize = nullptr) const
    {
        dst->BltColorKey(src, Saturate32(px), Saturate32(py), &piece, dstSize, clip);
    }
};

struct AlphaLevelSink : SinkBase {
    void operator()(int64_t px, int64_t py, const Rect& piece, const Size* dstSize = nullptr) const
    {
        dst->AlphaBltLevel(src, Saturate32(px), Saturate32(py), static_cast<int>(modeArg), &piece, dstSize,
                           clip);
    }
};

struct AutoSink : SinkBase {
    void operator()(int64_t px, int64_t py, const Rect& piece, const Size* dstSize = nullptr) const
    {
        dst->BltAuto(src, Saturate32(px), Saturate32(py), &piece, dstSize, clip);
    }
};

// Modes 4 and up: the effect still walks its pieces (the random effects
// consume the generator whatever the mode), but nothing is drawn.
struct NullSink : SinkBase {
    void operator()(int64_t, int64_t, const Rect&, const Size* = nullptr) const {}
};

// One piece through the plane interface in the given draw mode (0-3); the
// display planes' path hands its stretched pieces here.
void DrawPieceThroughPlane(const SinkBase& base, uint32_t mode, int32_t px, int32_t py, const Rect& piece,
                           const Size* dstSize);

// The display planes' 1:1 pieces, gathered into runs: a piece that starts
// where the pending one ends, on the same source and destination rows, and
// lies at the same offset from its source, joins it; anything else draws the
// pending run first. The pieces of a run touch and never overlap, and each
// destination pixel depends only on itself and its source pixel, so a run
// draws exactly what its pieces draw one after another. Empty pieces draw
// nothing either way and are dropped.
class PieceRun {
public:
    explicit PieceRun(const PreparedBlt* drawer) : drawer_(drawer) {}

    [[gnu::always_inline]] void Add(int32_t px, int32_t py, const Rect& piece)
    {
        if (piece.right <= piece.left || piece.bottom <= piece.top) {
            return;
        }
        PlacedPiece& run = done_[count_];
        if (pending_ && piece.left == run.srcRect.right && piece.top == run.srcRect.top &&
            piece.bottom == run.srcRect.bottom && py == run.y &&
            int64_t{px} == int64_t{run.x} + (int64_t{run.srcRect.right} - run.srcRect.left)) {
            run.srcRect.right = piece.right;
            return;
        }
        Close();
        pending_ = true;
        done_[count_] = {px, py, piece};
    }

    // Draws the pending run and those waiting; needed after the last piece
    // and before any drawing that does not go through Add.
    void Flush()
    {
        Close();
        if (count_ != 0) {
            drawer_->DrawMany(done_, count_);
            count_ = 0;
        }
    }

private:
    // Finished runs wait in a batch, so the drawer is called once per batch.
    static constexpr int kBatch = 64;

    // The pending run grows in place in the batch's next slot: copying it
    // out whole right after its edge was stored would wait on that store.
    void Close()
    {
        if (!pending_) {
            return;
        }
        pending_ = false;
        if (++count_ == kBatch) {
            drawer_->DrawMany(done_, count_);
            count_ = 0;
        }
    }

    const PreparedBlt* drawer_;
    bool pending_ = false;
    int count_ = 0;
    PlacedPiece done_[kBatch];
};

// The display planes' sink: 1:1 pieces to the run (Join) or straight to the
// drawer, stretched ones (the tensile effects, a few per frame) through the
// plane interface after the run.
template <bool Join>
struct DirectSink : SinkBase {
    uint32_t mode;
    const PreparedBlt* drawer;
    PieceRun* run;
    static constexpr bool kJoinsPieces = Join;
    static constexpr bool kDrawsBatches = true;
    static constexpr bool kDrawsColumns = true;
    static constexpr bool kDrawsBlocks = true;
    static constexpr bool kDirect = true;

    void DrawBlocks(const BlockStretch& blocks) const
    {
        run->Flush();
        drawer->DrawBlocks(blocks);
    }

    // A piece one column wide drawn 1:1 at count columns side by side from
    // (px, py): the piece stretched across only.
    void DrawRepeated(int64_t px, int64_t py, const Rect& column, int64_t count) const
    {
        run->Flush();
        drawer->DrawRepeated(Saturate32(px), Saturate32(py), column, Saturate32(count));
    }

    void DrawColumns(int64_t px, int64_t py, const Rect& piece, unsigned pattern) const
    {
        run->Flush();
        drawer->DrawColumns(Saturate32(px), Saturate32(py), piece, pattern);
    }

    void DrawBatch(const PlacedPiece* pieces, int count) const
    {
        if constexpr (Join) {
            for (int i = 0; i < count; ++i) {
                run->Add(pieces[i].x, pieces[i].y, pieces[i].srcRect);
            }
        } else {
            drawer->DrawMany(pieces, count);
        }
    }

    // (Forced inline, as Add is: out of line the piece goes through memory
    // and the join test waits on it.)
    [[gnu::always_inline]] void operator()(int64_t px, int64_t py, const Rect& piece,
                                           const Size* dstSize = nullptr) const
    {
        if (dstSize == nullptr) {
            if constexpr (Join) {
                run->Add(Saturate32(px), Saturate32(py), piece);
            } else {
                drawer->Draw(Saturate32(px), Saturate32(py), piece);
            }
            return;
        }
        run->Flush();
        DrawPieceThroughPlane(*this, mode, Saturate32(px), Saturate32(py), piece, dstSize);
    }
};

// The piece operation of draw modes 0-3.
inline PieceOp PieceOpOfMode(uint32_t mode)
{
    switch (mode) {
    case kDrawModeBlt:
        return PieceOp::kBlt;
    case kDrawModeColorKey:
        return PieceOp::kBltColorKey;
    case kDrawModeAlphaLevel:
        return PieceOp::kAlphaBltFastFade;
    default:
        return PieceOp::kBltAuto;
    }
}

// Resolves the draw mode (0-3) for two display planes; false when the
// planes are not both display planes or the drawer cannot take them.
bool PrepareDirect(PreparedBlt* drawer, CPlaneBase* dst, CPlaneBase* src, uint32_t mode, uint32_t modeArg,
                   const Rect* clip);

// Clamps a piece to the source and draws it where it stands in the picture
// (x + left, y + top of the clamped piece), which is what most effects do.
// (Forced inline: the random effects call it for every block, and out of
// line the piece's fields go through memory.)
template <class Sink>
[[gnu::always_inline]] inline void DrawAligned(const Sink& sink, int64_t x, int64_t y, Piece p, int64_t srcWidth, int64_t srcHeight)
{
    ClampPieceToSource(p, srcWidth, srcHeight);
    sink(x + p.left, y + p.top, PieceRect(p));
}

// Clamps a piece and draws it at an explicit destination point.
template <class Sink>
[[gnu::always_inline]] inline void DrawAt(const Sink& sink, int64_t px, int64_t py, Piece p, int64_t srcWidth, int64_t srcHeight)
{
    ClampPieceToSource(p, srcWidth, srcHeight);
    sink(px, py, PieceRect(p));
}

// The whole source in one operation of the draw mode; its result is the effect's.
int DrawWhole(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, uint32_t mode, uint32_t modeArg,
              const Rect* clip);

// Runs an effect: the level gate, the one-operation path at level 256 or
// more, then geometry(sink) with the mode's sink for levels 1 to 255.
// A level of 256 or more with a mode of 4 or more draws nothing and runs no
// geometry (some effects' formulas divide by 256 - level).
// JoinPieces false: the display planes' pieces are drawn one by one. For the
// effects whose neighbouring pieces meet only by chance (randomly scattered
// blocks), a join test that goes either way at random costs more in
// mispredicted branches than the draws it saves.
template <bool JoinPieces = true, class Geometry>
int RunTransition(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                  uint32_t modeArg, const Rect* clip, Geometry&& geometry)
{
    if (level < 1) {
        return 0;
    }
    if (level >= 256) {
        return mode <= kDrawModeAuto ? DrawWhole(dst, src, x, y, mode, modeArg, clip) : 0;
    }
    const SinkBase base{dst, src, clip, modeArg};
    if (mode <= kDrawModeAuto) {
        PreparedBlt drawer;
        if (PrepareDirect(&drawer, dst, src, mode, modeArg, clip)) {
            PieceRun run(&drawer);
            geometry(DirectSink<JoinPieces>{base, mode, &drawer, &run});
            run.Flush();
            return 0;
        }
    }
    switch (mode) {
    case kDrawModeBlt:
        geometry(BltSink{base});
        break;
    case kDrawModeColorKey:
        geometry(ColorKeySink{base});
        break;
    case kDrawModeAlphaLevel:
        geometry(AlphaLevelSink{base});
        break;
    case kDrawModeAuto:
        geometry(AutoSink{base});
        break;
    default:
        geometry(NullSink{base});
        break;
    }
    return 0;
}

// The source's size as the effects read it.
struct SourceSize {
    int64_t w;
    int64_t h;
};

inline SourceSize QuerySize(CPlaneBase* plane)
{
    int w = 0;
    int h = 0;
    plane->GetSize(&w, &h);
    return {w, h};
}

}  // namespace transition
