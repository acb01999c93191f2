#include "transition/BlindRectTransitions.h"

#include <algorithm>
#include <type_traits>

#include "transition/TransitionFrame.h"

using namespace transition;

namespace {

// Straight blinds: every strip i of each group of `period` opens when its
// place in the group (counted from the group's first strip, or from its last
// when `backward`) is at most level >> shift. The strips lie inside the
// source, so they need no clamp.
int StraightBlind(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                  uint32_t modeArg, const Rect* clip, bool columns, int period, int shift, bool backward)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        const int64_t step = level >> shift;
        const int64_t mask = period - 1;
        const int64_t count = columns ? s.w : s.h;
        const auto open = [&](int64_t i) { return (backward ? mask - (i & mask) : (i & mask)) <= step; };
        if constexpr (std::decay_t<decltype(sink)>::kDrawsColumns) {
            // The open columns repeat every period (8 or 16) columns: one
            // piece of the whole picture with the closed ones masked out,
            // rather than a walk down every open column.
            if (columns) {
                sink.DrawColumns(x, y, PieceRect({0, 0, s.w, s.h}), ColumnPattern(open));
                return;
            }
        }
        for (int64_t i = 0; i < count; ++i) {
            if (!open(i)) {
                continue;
            }
            if (columns) {
                sink(x + i, y, PieceRect({i, 0, 1, s.h}));
            } else {
                sink(x, y + i, PieceRect({0, i, s.w, 1}));
            }
        }
    });
}

// Slanted blinds: runs of level >> shift pixels every `period` pixels; each
// row's runs start one pixel further left, repeating every period - 1 rows.
// A run that starts left of the picture keeps only its visible columns.
int SlantedBlind(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                 uint32_t modeArg, const Rect* clip, int period, int shift)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        if (s.h < 1) {
            return;
        }
        const int64_t run = level >> shift;
        if constexpr (std::decay_t<decltype(sink)>::kDrawsColumns) {
            // A row's runs repeat every period (8 or 16) columns and, as a run
            // is shorter than the period at every level, never meet: the row
            // is one piece with the columns between the runs masked out.
            for (int64_t j = 0; j < s.h; ++j) {
                const int64_t start = -(j % (period - 1));
                const unsigned pattern = ColumnPattern([&](int64_t c) { return (c - start) % period < run; });
                sink.DrawColumns(x, y + j, PieceRect({0, j, s.w, 1}), pattern);
            }
            return;
        }
        for (int64_t j = 0; j < s.h; ++j) {
            for (int64_t k = -(j % (period - 1)); k < s.w; k += period) {
                int64_t width = k + run > s.w ? s.w - k : run;
                int64_t left = k;
                if (k < 0) {
                    width = std::max<int64_t>(width + k, 0);
                    left = 0;
                }
                sink(x + left, y + j, PieceRect({left, j, width, 1}));
            }
        }
    });
}

// A square of level >> shift pixels in the top-left corner of every cell.
int CellSquares(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip, int cell, int shift)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        if (s.h < 1) {
            return;
        }
        const int64_t side = level >> shift;
        if constexpr (std::decay_t<decltype(sink)>::kDrawsColumns) {
            // The squares (shorter than their cells at every level, so they
            // never meet) of a row of cells are one band of rows with the
            // columns between them masked out; cells are 4, 8 or 16 wide.
            const unsigned pattern = ColumnPattern([&](int64_t c) { return c % cell < side; });
            for (int64_t v = 0; v < s.h && pattern != 0; v += cell) {
                sink.DrawColumns(x, y + v, PieceRect({0, v, s.w, std::min(side, s.h - v)}), pattern);
            }
            return;
        }
        for (int64_t v = 0; v < s.h; v += cell) {
            for (int64_t u = 0; u < s.w; u += cell) {
                DrawAligned(sink, x, y, {u, v, side, side}, s.w, s.h);
            }
        }
    });
}

}  // namespace

int RectBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip)
{
    return CellSquares(dst, src, x, y, level, mode, modeArg, clip, 4, 6);
}

int RectBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip)
{
    return CellSquares(dst, src, x, y, level, mode, modeArg, clip, 8, 5);
}

int RectBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip)
{
    return CellSquares(dst, src, x, y, level, mode, modeArg, clip, 16, 4);
}

int BlindBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return StraightBlind(dst, src, x, y, level, mode, modeArg, clip, true, 8, 5, false);
}

int BlindBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return StraightBlind(dst, src, x, y, level, mode, modeArg, clip, true, 8, 5, true);
}

int BlindBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return StraightBlind(dst, src, x, y, level, mode, modeArg, clip, true, 16, 4, false);
}

int BlindBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return StraightBlind(dst, src, x, y, level, mode, modeArg, clip, true, 16, 4, true);
}

int BlindBlt5(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return StraightBlind(dst, src, x, y, level, mode, modeArg, clip, false, 8, 5, false);
}

int BlindBlt6(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return StraightBlind(dst, src, x, y, level, mode, modeArg, clip, false, 8, 5, true);
}

int BlindBlt7(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return StraightBlind(dst, src, x, y, level, mode, modeArg, clip, false, 16, 4, false);
}

int BlindBlt8(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return StraightBlind(dst, src, x, y, level, mode, modeArg, clip, false, 16, 4, true);
}

int BlindBlt9(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return SlantedBlind(dst, src, x, y, level, mode, modeArg, clip, 8, 5);
}

int BlindBlt10(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return SlantedBlind(dst, src, x, y, level, mode, modeArg, clip, 16, 4);
}
