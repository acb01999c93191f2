#include "transition/SlitCurtainTransitions.h"

#include <algorithm>
#include <type_traits>

#include "transition/TransitionFrame.h"

using namespace transition;

namespace {

// Strips of `strip` pixels open one after another, each one unit behind the
// previous, growing from one side of the strip (fromStart: from its left/top
// edge, counted from the picture's left/top; otherwise from its right/bottom
// edge, counted from the picture's right/bottom). Vertical strips when
// `columns`, else horizontal ones.
template <class Sink>
void SlitCurtain(const Sink& sink, int64_t x, int64_t y, SourceSize s, int32_t level, bool fromStart,
                 int64_t strip, bool columns)
{
    const int64_t extent = columns ? s.w : s.h;
    const int64_t count = (extent + strip + 1) / strip;
    const int64_t progress = ((count + strip) * level) / 256;
    int64_t i = 0;
    if constexpr (Sink::kDirect) {
        // The strips already wide open lie side by side: on the display
        // planes they are one piece (the strips never overlap), which the
        // row kernel draws in long rows rather than a strip's width at a time.
        const int64_t full = std::clamp<int64_t>(progress - strip + 1, 0, count);
        if (full > 0) {
            const int64_t first = fromStart ? 0 : std::max<int64_t>(extent - full * strip, 0);
            const int64_t last = fromStart ? std::min(full * strip, extent) : extent;
            if (columns) {
                sink(x + first, y, MakeRect(first, 0, last, s.h));
            } else {
                sink(x, y + first, MakeRect(0, first, s.w, last));
            }
            i = full;
        }
    }
    for (; i < count && i < progress; ++i) {
        const int64_t open = std::min(progress - i, strip);
        int64_t first = 0;
        int64_t last = 0;  // exclusive
        if (fromStart) {
            first = i * strip;
            last = first + open;
        } else {
            last = extent - i * strip;
            first = last - open;
        }
        last = std::min(last, extent);
        first = std::max<int64_t>(first, 0);
        if (columns) {
            sink(x + first, y, MakeRect(first, 0, last, s.h));
        } else {
            sink(x, y + first, MakeRect(0, first, s.w, last));
        }
    }
}

int SlitCurtainColumns(CPlaneBase* src, CPlaneBase* dst, int32_t x, int32_t y, int32_t level, bool fromLeft,
                       uint32_t mode, uint32_t modeArg, int strip, const Rect* clip)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        SlitCurtain(sink, x, y, QuerySize(src), level, fromLeft, strip, true);
    });
}

int SlitCurtainRows(CPlaneBase* src, CPlaneBase* dst, int32_t x, int32_t y, int32_t level, bool fromTop,
                    uint32_t mode, uint32_t modeArg, int strip, const Rect* clip)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        SlitCurtain(sink, x, y, QuerySize(src), level, fromTop, strip, false);
    });
}

// A stretched draw onto an empty or inverted destination size (the picture
// lies wholly beyond the edge the band reaches for), or of an empty column,
// would hand the stretch walk a span of no pixels or a negative one; such a
// band covers nothing, so it is not drawn.
template <class Sink>
void DrawStretched(const Sink& sink, int64_t px, int64_t py, const Rect& piece, int64_t cx, int64_t cy)
{
    if (cx < 1 || cy < 1 || piece.IsEmpty()) {
        return;
    }
    const Size size{Saturate32(cx), Saturate32(cy)};
    sink(px, py, piece, &size);
}

// Tensile wipe along columns (rows when `rows`): the part of the picture
// shown so far is drawn 1:1 at its place, and the line next to it is
// stretched from it to the destination plane's edge. fromEnd: revealed from
// the picture's right (bottom) edge, stretched toward the plane's left (top)
// edge; otherwise revealed from the left (top), stretched to the right (bottom).
int Tensile(CPlaneBase* src, CPlaneBase* dst, int32_t x, int32_t y, int32_t level, bool fromEnd, uint32_t mode,
            uint32_t modeArg, const Rect* clip, bool rows)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        const SourceSize d = QuerySize(dst);
        // Along: the axis the wipe runs on; across: the other one.
        const int64_t extent = rows ? s.h : s.w;
        const int64_t across = rows ? s.w : s.h;
        const int64_t origin = rows ? y : x;
        const int64_t destExtent = rows ? d.h : d.w;
        const int64_t shown = (extent * level) / 256;
        auto span = [&](int64_t first, int64_t last) {
            return rows ? MakeRect(0, first, s.w, last) : MakeRect(first, 0, last, s.h);
        };
        auto at = [&](int64_t along, auto&& draw) {
            if (rows) {
                draw(int64_t{x}, along);
            } else {
                draw(along, int64_t{y});
            }
        };
        auto stretch = [&](int64_t along, const Rect& line, int64_t length) {
            if constexpr (std::decay_t<decltype(sink)>::kDirect) {
                // A row stretched down only (its width is kept) is that row
                // drawn 1:1 on every destination row it covers: the row
                // kernel instead of the stretch walk's pixel steps. Rows off
                // the destination plane draw nothing either way.
                if (rows && !line.IsEmpty() && line.bottom - line.top == 1 && line.right - line.left == across &&
                    length >= 1) {
                    const int64_t first = std::max<int64_t>(along, 0);
                    const int64_t end = std::min(along + length, std::max<int64_t>(d.h, 0));
                    for (int64_t row = first; row < end; ++row) {
                        sink(int64_t{x}, row, line);
                    }
                    return;
                }
                // A column stretched across only (its height is kept): the
                // column drawn 1:1 at every destination column it covers.
                if (!rows && !line.IsEmpty() && line.right - line.left == 1 && line.bottom - line.top == across &&
                    length >= 1) {
                    sink.DrawRepeated(along, int64_t{y}, line, length);
                    return;
                }
            }
            at(along, [&](int64_t px, int64_t py) {
                DrawStretched(sink, px, py, line, rows ? across : length, rows ? length : across);
            });
        };
        if (fromEnd) {
            const int64_t first = extent - shown;
            if (first != extent) {
                at(origin + first, [&](int64_t px, int64_t py) { sink(px, py, span(first, extent)); });
            }
            stretch(0, span(std::max<int64_t>(first - 1, 0), first), origin + first);
        } else {
            if (shown != 0) {
                at(origin, [&](int64_t px, int64_t py) { sink(px, py, span(0, shown)); });
            }
            stretch(origin + shown, span(shown, std::min(shown + 1, extent)), destExtent - origin - shown);
        }
    });
}

}  // namespace

int SlitCurtainBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip)
{
    return SlitCurtainColumns(src, dst, x, y, level, true, mode, modeArg, 16, clip);
}

int SlitCurtainBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip)
{
    return SlitCurtainColumns(src, dst, x, y, level, false, mode, modeArg, 16, clip);
}

int SlitCurtainBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip)
{
    return SlitCurtainColumns(src, dst, x, y, level, true, mode, modeArg, 8, clip);
}

int SlitCurtainBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip)
{
    return SlitCurtainColumns(src, dst, x, y, level, false, mode, modeArg, 8, clip);
}

int SlitCurtainBlt5(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip)
{
    return SlitCurtainRows(src, dst, x, y, level, true, mode, modeArg, 16, clip);
}

int SlitCurtainBlt6(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip)
{
    return SlitCurtainRows(src, dst, x, y, level, false, mode, modeArg, 16, clip);
}

int SlitCurtainBlt7(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip)
{
    return SlitCurtainRows(src, dst, x, y, level, true, mode, modeArg, 8, clip);
}

int SlitCurtainBlt8(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip)
{
    return SlitCurtainRows(src, dst, x, y, level, false, mode, modeArg, 8, clip);
}

int TensileBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip)
{
    return Tensile(src, dst, x, y, level, true, mode, modeArg, clip, false);
}

int TensileBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip)
{
    return Tensile(src, dst, x, y, level, false, mode, modeArg, clip, false);
}

int TensileBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip)
{
    return Tensile(src, dst, x, y, level, true, mode, modeArg, clip, true);
}

int TensileBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip)
{
    return Tensile(src, dst, x, y, level, false, mode, modeArg, clip, true);
}
