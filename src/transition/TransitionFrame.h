#pragma once
// The frame every transition runs in: the level gate, the one-operation path,
// the four draw modes and the piece clamp. Effects describe only their pieces,
// as a function that receives a piece sink; the sink is picked from the draw
// mode once per call, so the per-piece path neither branches on the mode nor
// allocates.
//
// Geometry is worked in 64-bit integers: for every plane the game can make
// the results equal the 32-bit formulas the effects are written in, and on
// absurdly large planes nothing wraps; positions and rectangles are saturated
// to 32 bits only when handed to the plane.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "display/PlaneBase.h"
#include "frame/Rect.h"
#include "transition/TransitionFunc.h"

namespace transition {

inline int32_t Saturate32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
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

// Piece sinks, one per draw mode. Each draws one source rectangle at a
// destination point, 1:1 or (tensile only) stretched to a destination size.
struct SinkBase {
    CPlaneBase* dst;
    CPlaneBase* src;
    const Rect* clip;
    uint32_t modeArg;
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

// Clamps a piece to the source and draws it where it stands in the picture
// (x + left, y + top of the clamped piece), which is what most effects do.
template <class Sink>
inline void DrawAligned(const Sink& sink, int64_t x, int64_t y, Piece p, int64_t srcWidth, int64_t srcHeight)
{
    ClampPieceToSource(p, srcWidth, srcHeight);
    sink(x + p.left, y + p.top, PieceRect(p));
}

// Clamps a piece and draws it at an explicit destination point.
template <class Sink>
inline void DrawAt(const Sink& sink, int64_t px, int64_t py, Piece p, int64_t srcWidth, int64_t srcHeight)
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
template <class Geometry>
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
