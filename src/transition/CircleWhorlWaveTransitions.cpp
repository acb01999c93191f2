#include "transition/CircleWhorlWaveTransitions.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "display/CosTable.h"
#include "transition/TransitionFrame.h"

using namespace transition;

// The step at which each cell of a 4 x 4 group is drawn, row by row. The
// inward order winds clockwise from the top-left corner to the middle; the
// outward one clockwise from row 1, column 1 out to the bottom-left corner.
const int32_t gWhorlOrderInward[16] = {0, 1, 2, 3, 11, 12, 13, 4, 10, 15, 14, 5, 9, 8, 7, 6};
const int32_t gWhorlOrderOutward[16] = {6, 7, 8, 9, 5, 0, 1, 10, 4, 3, 2, 11, 15, 14, 13, 12};

namespace {

int64_t TruncSqrt(int64_t v)
{
    return static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
}

// Where the disc is centred; the disc is drawn one source row per piece.
enum class DiscCentre { Top, Bottom, Left, Right, Middle };

int Circle(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
           uint32_t modeArg, const Rect* clip, DiscCentre centre)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        const int64_t w = s.w;
        const int64_t h = s.h;
        // The full diameter: twice the distance from the centre to the
        // farthest corner for the edge-centred discs, w + h for the middle one.
        int64_t diameter = w + h;
        if (centre == DiscCentre::Top || centre == DiscCentre::Bottom) {
            diameter = static_cast<int64_t>(2.0 * std::sqrt(static_cast<double>((w * w) / 4 + h * h)));
        } else if (centre == DiscCentre::Left || centre == DiscCentre::Right) {
            diameter = static_cast<int64_t>(2.0 * std::sqrt(static_cast<double>(w * w + (h * h) / 4)));
        }
        const int64_t d = (diameter * level) >> 8;
        const int64_t r = d >> 1;
        if (r < 1) {
            return;
        }
        const int64_t r2 = (d * d) / 4;
        const int64_t cx = w >> 1;
        const int64_t cy = h >> 1;
        auto chord = [r2](int64_t k) {
            return static_cast<int64_t>(2.0 * std::sqrt(static_cast<double>(r2 - k * k)));
        };
        switch (centre) {
        case DiscCentre::Top:
            for (int64_t k = 0; k < r; ++k) {
                const int64_t ch = chord(k);
                DrawAligned(sink, x, y, {cx - (ch >> 1), k, ch, 1}, w, h);
            }
            break;
        case DiscCentre::Bottom:
            // Row h (k = 0) lies below the picture and draws nothing.
            for (int64_t k = 0; k < r; ++k) {
                const int64_t ch = chord(k);
                DrawAligned(sink, x, y, {cx - (ch >> 1), h - k, ch, 1}, w, h);
            }
            break;
        default:
            // Rows above the picture are clamped to row 0, which is thus drawn
            // again with their shorter pieces; rows below it draw nothing.
            for (int64_t row = cy - r; row < cy + r; ++row) {
                const int64_t k = row - cy;
                if (centre == DiscCentre::Middle) {
                    const int64_t ch = chord(k);
                    DrawAligned(sink, x, y, {cx - (ch >> 1), row, ch, 1}, w, h);
                } else {
                    const int64_t half = TruncSqrt(r2 - k * k);
                    const int64_t left = centre == DiscCentre::Left ? 0 : w - half;
                    DrawAligned(sink, x, y, {left, row, half, 1}, w, h);
                }
            }
            break;
        }
    });
}

// Cells of `cell` pixels drawn in the spiral order of their 4 x 4 group; each
// 16 levels add the next step.
// The runs of drawn cells of a row of columns cells whose drawn columns
// repeat every four (bit c of drawn: the columns c mod 4; neither none nor
// all), each as draw(first, end) in column order, the last cut at columns.
// The runs are found from the four-column pattern, not column by column: the
// one-pixel whorls would otherwise test every pixel of the picture.
template <class Draw>
void DrawWhorlRuns(unsigned drawn, int64_t columns, Draw&& draw)
{
    auto isDrawn = [drawn](int64_t c) { return ((drawn >> (c & 3)) & 1) != 0; };
    // A run that column 0 opens while the pattern's run wraps past it.
    int64_t col = 0;
    if (isDrawn(0) && isDrawn(3)) {
        while (col < columns && isDrawn(col)) {
            ++col;
        }
        draw(int64_t{0}, col);
    }
    // The runs that start in each group of four, and their lengths.
    int64_t starts[4];
    int64_t lengths[4];
    int count = 0;
    for (int c = 0; c < 4; ++c) {
        if (isDrawn(c) && !isDrawn(c + 3)) {
            int64_t n = 0;
            while (isDrawn(c + n)) {
                ++n;
            }
            starts[count] = c;
            lengths[count++] = n;
        }
    }
    for (int64_t group = col / 4 * 4; group < columns; group += 4) {
        for (int i = 0; i < count; ++i) {
            const int64_t first = group + starts[i];
            if (first >= col && first < columns) {
                draw(first, std::min(first + lengths[i], columns));
            }
        }
    }
}

int Whorl(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
          uint32_t modeArg, const Rect* clip, int64_t cell, const int32_t* order)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        if (s.h < 1) {
            return;
        }
        const int32_t step = level >> 4;
        // A sink that joins neighbouring pieces gets each row's runs of
        // drawn cells whole: clamped, a run is exactly its cells joined, and
        // the one-pixel whorls would otherwise hand it every pixel alone.
        constexpr bool kRuns = std::decay_t<decltype(sink)>::kJoinsPieces;
        // Where the cells of a row end: the last may reach past the picture,
        // and the clamp cuts a run there as it cuts that cell.
        const int64_t rowEnd = s.w > 0 ? (s.w + cell - 1) / cell * cell : 0;
        // Cell row and column indices are counted rather than divided out:
        // the one-pixel whorls visit every pixel of the picture.
        int64_t row = 0;
        for (int64_t v = 0; v < s.h; v += cell, ++row) {
            const int32_t* orderRow = order + 4 * (row & 3);
            unsigned drawnColumns = 0;  // bit c: the columns c mod 4 are drawn
            for (unsigned c = 0; c < 4; ++c) {
                drawnColumns |= (orderRow[c] <= step ? 1u : 0u) << c;
            }
            if (drawnColumns == 0) {
                continue;
            }
            if constexpr (std::decay_t<decltype(sink)>::kDrawsColumns) {
                // Cells of up to four pixels: the row of cells repeats
                // every sixteen pixels or less, so it is one band of rows
                // with the columns of the cells not drawn masked out.
                if (cell <= 4) {
                    const unsigned pattern =
                        ColumnPattern([&](int64_t c) { return ((drawnColumns >> ((c / cell) & 3)) & 1u) != 0; });
                    sink.DrawColumns(x, y + v, PieceRect({0, v, s.w, std::min(cell, s.h - v)}), pattern);
                    continue;
                }
            }
            if (kRuns && drawnColumns == 15) {
                DrawAligned(sink, x, y, {0, v, rowEnd, cell}, s.w, s.h);
                continue;
            }
            if constexpr (kRuns) {
                DrawWhorlRuns(drawnColumns, rowEnd / cell, [&](int64_t first, int64_t end) {
                    DrawAligned(sink, x, y, {first * cell, v, (end - first) * cell, cell}, s.w, s.h);
                });
                continue;
            }
            int64_t col = 0;
            for (int64_t u = 0; u < s.w; u += cell, ++col) {
                if (((drawnColumns >> (col & 3)) & 1) != 0) {
                    DrawAligned(sink, x, y, {u, v, cell, cell}, s.w, s.h);
                }
            }
        }
    });
}

// Every row shifted sideways by a cosine that flattens as the level rises:
// offset = (cos[index(row)] * factor) >> 16. The rows are not clamped: each
// lies inside the source, and the destination's clipping cuts what a shift
// pushes outside.
template <class Index>
int Wave(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode, uint32_t modeArg,
         const Rect* clip, int64_t factor, Index index)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        BuildCosTable(nullptr);
        if (s.h < 1) {
            return;
        }
        for (int64_t j = 0; j < s.h; ++j) {
            const int64_t offset = (int64_t{gCosTable[index(j)]} * factor) >> 16;
            sink(x + offset, y + j, PieceRect({0, j, s.w, 1}));
        }
    });
}

}  // namespace

int CircleBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return Circle(dst, src, x, y, level, mode, modeArg, clip, DiscCentre::Top);
}

int CircleBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return Circle(dst, src, x, y, level, mode, modeArg, clip, DiscCentre::Bottom);
}

int CircleBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return Circle(dst, src, x, y, level, mode, modeArg, clip, DiscCentre::Left);
}

int CircleBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return Circle(dst, src, x, y, level, mode, modeArg, clip, DiscCentre::Right);
}

int CircleBlt5(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return Circle(dst, src, x, y, level, mode, modeArg, clip, DiscCentre::Middle);
}

int WhorlBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Whorl(dst, src, x, y, level, mode, modeArg, clip, 1, gWhorlOrderInward);
}

int WhorlBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Whorl(dst, src, x, y, level, mode, modeArg, clip, 1, gWhorlOrderOutward);
}

int WhorlBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Whorl(dst, src, x, y, level, mode, modeArg, clip, 2, gWhorlOrderInward);
}

int WhorlBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Whorl(dst, src, x, y, level, mode, modeArg, clip, 2, gWhorlOrderOutward);
}

int WhorlBlt5(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Whorl(dst, src, x, y, level, mode, modeArg, clip, 4, gWhorlOrderInward);
}

int WhorlBlt6(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Whorl(dst, src, x, y, level, mode, modeArg, clip, 4, gWhorlOrderOutward);
}

int WhorlBlt7(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Whorl(dst, src, x, y, level, mode, modeArg, clip, 8, gWhorlOrderInward);
}

int WhorlBlt8(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Whorl(dst, src, x, y, level, mode, modeArg, clip, 8, gWhorlOrderOutward);
}

// A wave 512 rows long whose amplitude is doubled.
int WaveBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip)
{
    return Wave(dst, src, x, y, level, mode, modeArg, clip, 2 * (255 - int64_t{level}),
                [](int64_t j) { return (j + 256) & 511; });
}

int WaveBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip)
{
    return Wave(dst, src, x, y, level, mode, modeArg, clip, 255 - int64_t{level},
                [](int64_t j) { return 8 * (j & 63); });
}

int WaveBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip)
{
    return Wave(dst, src, x, y, level, mode, modeArg, clip, 255 - int64_t{level},
                [](int64_t j) { return (8 * j + 256) & 511; });
}

// A fade-in of the whole picture: one blend that takes the level as its factor.
int BlendBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    if (level < 1) {
        return 0;
    }
    if (level >= 256 && mode <= kDrawModeAuto) {
        return DrawWhole(dst, src, x, y, mode, modeArg, clip);
    }
    switch (mode) {
    case kDrawModeBlt:
        return dst->BlendBlt(src, x, y, level, nullptr, nullptr, clip);
    case kDrawModeColorKey:
        return dst->BlendBltColorKey(src, x, y, level, nullptr, nullptr, clip);
    case kDrawModeAlphaLevel:
        return dst->AlphaBltLevel(src, x, y, level, nullptr, nullptr, clip);
    case kDrawModeAuto:
        return dst->BltLevel(src, x, y, level, nullptr, nullptr, clip);
    default:
        return -1;
    }
}
