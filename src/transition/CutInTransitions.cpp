#include "transition/CutInTransitions.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "frame/CRand.h"
#include "transition/TransitionFrame.h"

using namespace transition;

namespace {

int Rand255()
{
    return crt::rand() & 255;
}

// The generator's state after k steps from s.
constexpr uint32_t RandSteps(uint32_t s, int k)
{
    for (int i = 0; i < k; ++i) {
        s = crt::NextRandState(s);
    }
    return s;
}

// K steps of the generator as one: it is affine, so K steps are one affine
// step whose constants follow from the one-step function.
template <int K>
struct RandJump {
    static constexpr uint32_t kAdd = RandSteps(0, K);
    static constexpr uint32_t kMul = RandSteps(1, K) - kAdd;
    static constexpr uint32_t From(uint32_t state) { return state * kMul + kAdd; }
};

constexpr int kStretch = 64;

// The next n (at most kStretch) numbers of the generator, as n calls of
// rand() give them, the state moved past them. Four chains four steps
// apart: a stretch of blocks waits on one multiplication per four numbers
// instead of one per number.
void NextRandNumbers(int* out, int n)
{
    uint32_t last = crt::RandState();
    uint32_t lanes[4];
    uint32_t state = last;
    for (uint32_t& lane : lanes) {
        state = crt::NextRandState(state);
        lane = state;
    }
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        for (int k = 0; k < 4; ++k) {
            out[i + k] = crt::RandOfState(lanes[k]);
        }
        last = lanes[3];
        for (uint32_t& lane : lanes) {
            lane = RandJump<4>::From(lane);
        }
    }
    for (int k = 0; i < n; ++i, ++k) {
        out[i] = crt::RandOfState(lanes[k]);
        last = lanes[k];
    }
    crt::RandState() = last;
}

// Random blocks of bw x bh at their places: one rand() per block, in block
// order, whatever the mode and whether or not the block is drawn, so the
// sequence a frame consumes is fixed by the block count; a block shows when
// shown(byte, bx, by) holds for its byte (rand() & 255).
//
// On a sink that draws block stretches a row's whole blocks take their bytes
// a stretch at a time and the shown ones go to the drawer together: the
// blocks never overlap, so only the order of the draws from the generator
// matters, and the join test of the piece runs, which goes either way at
// random, is not made.
template <class Sink, class Shown>
void RandomBlocks(const Sink& sink, int64_t x, int64_t y, SourceSize s, int64_t bw, int64_t bh, Shown shown)
{
    for (int64_t by = 0; by < s.h; by += bh) {
        int64_t bx = 0;
        if constexpr (Sink::kDrawsBlocks) {
            if (by + bh <= s.h) {
                const int64_t end = s.w - s.w % bw;
                const int64_t rowX = x;
                const int32_t rowY = Saturate32(y + by);
                for (int64_t first = 0; first < end; first += bw * kStretch) {
                    const int n = static_cast<int>(std::min<int64_t>(kStretch, (end - first) / bw));
                    int numbers[kStretch];
                    NextRandNumbers(numbers, n);
                    int32_t xs[kStretch];
                    int32_t ys[kStretch];
                    int32_t srcXs[kStretch];
                    int32_t srcYs[kStretch];
                    int count = 0;
                    for (int i = 0; i < n; ++i) {
                        const int64_t left = first + bw * i;
                        xs[count] = Saturate32(rowX + left);
                        ys[count] = rowY;
                        srcXs[count] = static_cast<int32_t>(left);
                        srcYs[count] = static_cast<int32_t>(by);
                        count += shown(numbers[i] & 255, left, by) ? 1 : 0;
                    }
                    if (count == n) {
                        // All shown (the inside of CutInBlt17's disc): one
                        // piece of the stretch's rows.
                        sink(rowX + first, rowY, PieceRect({first, by, bw * n, bh}));
                    } else if (count != 0) {
                        sink.DrawBlocks(BlockStretch{0, 0, static_cast<int32_t>(bw), static_cast<int32_t>(bh), xs, ys,
                                                     count, srcXs, srcYs});
                    }
                }
                bx = end;
            }
        }
        for (; bx < s.w; bx += bw) {
            if (shown(Rand255(), bx, by)) {
                DrawAligned(sink, x, y, {bx, by, bw, bh}, s.w, s.h);
            }
        }
    }
}

// Random dissolve over 4 x 2 blocks: a block shows when its byte is at most
// its threshold.
template <class Sink, class Threshold>
void DissolveBlocks(const Sink& sink, int64_t x, int64_t y, SourceSize s, Threshold threshold)
{
    RandomBlocks(sink, x, y, s, 4, 2, [&](int byte, int64_t bx, int64_t by) { return byte <= threshold(bx, by); });
}

template <class Threshold>
int Dissolve(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip, Threshold threshold)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        if (s.h < 1) {
            return;
        }
        DissolveBlocks(sink, x, y, s, [&](int64_t bx, int64_t by) { return threshold(s, bx, by); });
    });
}

// One square of side (max(w, h) * level) >> 8, placed by the corner function;
// no height test: a source without rows gives an empty piece.
template <class Place>
int GrowingSquare(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                  uint32_t modeArg, const Rect* clip, Place place)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        const int64_t side = (std::max(s.w, s.h) * level) >> 8;
        int64_t left = 0;
        int64_t top = 0;
        place(s, side, &left, &top);
        DrawAligned(sink, x, y, {left, top, side, side}, s.w, s.h);
    });
}

// Lines of an interlaced wipe: rows (columns when `columns`), each opened
// from its start (left or top: the first `open` pixels) or from its end.
struct Lines {
    SourceSize s;
    bool columns;

    int64_t Length() const { return columns ? s.h : s.w; }  // pixels along a line
    int64_t Count() const { return columns ? s.w : s.h; }   // lines in the picture

    Piece Make(int64_t line, int64_t start, int64_t length) const
    {
        return columns ? Piece{line, start, 1, length} : Piece{start, line, length, 1};
    }

    template <class Sink>
    void FromStart(const Sink& sink, int64_t x, int64_t y, int64_t line, int64_t open) const
    {
        DrawAligned(sink, x, y, Make(line, 0, std::min(open, Length())), s.w, s.h);
    }

    // A line opened from its end starts one pixel early (at length - open - 1),
    // so it is one pixel longer than its partner from the start.
    template <class Sink>
    void FromEnd(const Sink& sink, int64_t x, int64_t y, int64_t line, int64_t open) const
    {
        const int64_t a = std::max<int64_t>(Length() - open - 1, 0);
        DrawAligned(sink, x, y, Make(line, a, Length() - a), s.w, s.h);
    }
};

// The rows over which a column of a wipe is open, [top, bottom).
struct Span {
    int64_t top;
    int64_t bottom;
};

// A column wipe on a sink that draws column patterns: columns with the same
// index modulo 4 are open over the same rows (spans[c] for c = index mod 4),
// so the picture falls into bands of rows over which the same columns are
// open, and each band is drawn as whole rows with the closed columns left
// out. Tall one-pixel columns would walk each column down the rows a pixel
// at a time; the bands draw the same pixels with the row kernels.
template <class Sink>
void DrawColumnBands(const Sink& sink, int64_t x, int64_t y, SourceSize s, const Span (&spans)[4])
{
    int64_t edges[10] = {0, s.h};
    int n = 2;
    for (const Span& span : spans) {
        edges[n++] = std::clamp<int64_t>(span.top, 0, s.h);
        edges[n++] = std::clamp<int64_t>(span.bottom, 0, s.h);
    }
    std::sort(edges, edges + n);
    for (int k = 0; k + 1 < n; ++k) {
        const int64_t top = edges[k];
        const int64_t bottom = edges[k + 1];
        if (top == bottom) {
            continue;
        }
        unsigned pattern = 0;
        for (unsigned c = 0; c < 4; ++c) {
            if (spans[c].top <= top && bottom <= spans[c].bottom) {
                pattern |= 1u << c;
            }
        }
        if (pattern != 0) {
            sink.DrawColumns(x, y + top, PieceRect({0, top, s.w, bottom - top}), RepeatEveryFour(pattern));
        }
    }
}

// The rows a column opened from its start (its top) or its end shows: the
// same rows as Lines::FromStart and FromEnd give it.
Span SpanFromStart(int64_t length, int64_t open)
{
    return {0, std::min(open, length)};
}

Span SpanFromEnd(int64_t length, int64_t open)
{
    return {std::max<int64_t>(length - open - 1, 0), length};
}

// Even lines open from the start, odd lines from the end.
int Interlace(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip, bool columns)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const Lines lines{QuerySize(src), columns};
        if (lines.s.h < 1) {
            return;
        }
        const int64_t open = (lines.Length() * level) >> 8;
        if constexpr (std::decay_t<decltype(sink)>::kDrawsColumns) {
            if (columns) {
                const Span even = SpanFromStart(lines.Length(), open);
                const Span odd = SpanFromEnd(lines.Length(), open);
                DrawColumnBands(sink, x, y, lines.s, {even, odd, even, odd});
                return;
            }
        }
        for (int64_t i = 0; i < lines.Count(); i += 2) {
            lines.FromStart(sink, x, y, i, open);
            lines.FromEnd(sink, x, y, i + 1, open);
        }
    });
}

// Lines in groups of four: lines 0 and 2 of each group open at twice the
// speed over the whole level range, lines 1 and 3 start at the midpoint.
int InterlaceTwoPhase(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                      uint32_t modeArg, const Rect* clip, bool columns)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const Lines lines{QuerySize(src), columns};
        if (lines.s.h < 1) {
            return;
        }
        const int64_t open1 = (lines.Length() * level) >> 7;
        if constexpr (std::decay_t<decltype(sink)>::kDrawsColumns) {
            if (columns) {
                const int64_t open2 = level > 128 ? ((level - 128) * lines.Length()) >> 7 : 0;
                const Span closed{0, 0};
                DrawColumnBands(sink, x, y, lines.s,
                                {SpanFromStart(lines.Length(), open1),
                                 level > 128 ? SpanFromStart(lines.Length(), open2) : closed,
                                 SpanFromEnd(lines.Length(), open1),
                                 level > 128 ? SpanFromEnd(lines.Length(), open2) : closed});
                return;
            }
        }
        for (int64_t i = 0; i < lines.Count(); i += 4) {
            lines.FromStart(sink, x, y, i, open1);
            lines.FromEnd(sink, x, y, i + 2, open1);
        }
        if (level > 128) {
            const int64_t open2 = ((level - 128) * lines.Length()) >> 7;
            for (int64_t k = 3; k - 3 < lines.Count(); k += 4) {
                lines.FromStart(sink, x, y, k - 2, open2);
                lines.FromEnd(sink, x, y, k, open2);
            }
        }
    });
}

// The six rows at a torn wipe's front edge are pushed sideways by these
// amounts, in order.
void TornShifts(int64_t w, int64_t out[6])
{
    const int64_t ninth = w / 9;
    const int64_t twoNinths = (w + w) / 9;
    const int64_t third = w / 3;
    out[0] = -ninth;
    out[1] = ninth;
    out[2] = -twoNinths;
    out[3] = twoNinths;
    out[4] = -third;
    out[5] = third;
}

template <class Sink>
void TornRow(const Sink& sink, int64_t x, int64_t y, SourceSize s, int64_t row, int64_t shift)
{
    // Rows of the edge that fall outside the picture are skipped.
    if (row >= 0 && row < s.h) {
        sink(x + shift, y + row, PieceRect({0, row, s.w, 1}));
    }
}

}  // namespace

// Every row shifted sideways by a random amount that shrinks with the level.
int CutInBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        if (s.h < 1) {
            return;
        }
        const int range = 256 - level;  // 1..255 on this path
        const int half = range >> 1;
        for (int64_t r = 0; r < s.h; ++r) {
            const int offset = (crt::rand() % range) - half;
            sink(int64_t{x} + offset, int64_t{y} + r, PieceRect({0, r, s.w, 1}));
        }
    });
}

namespace {

// The source corners of a stretch of n whole 4 x 2 blocks of CutInBlt2 from
// (bx, by) on: each block draws a byte, and one above the level draws two
// more for its shift (reset to 0 where the shifted block would leave the
// picture). The same draws, in the same order, as the block loop makes, but
// worked without a branch on the byte (which goes either way at random) and
// with the state in a register.
//
// The generator is affine, so its third state is one affine step from the
// first (constants worked from the one-step function); the next block then
// waits on one step and the byte's test instead of three steps.
template <int Jitter>
void JitteredSources(int level, SourceSize s, int64_t bx, int64_t by, int n, int32_t* srcXs, int32_t* srcYs)
{
    uint32_t state = crt::RandState();
    for (int i = 0; i < n; ++i, bx += 4) {
        const uint32_t byte = crt::NextRandState(state);
        const uint32_t shiftX = crt::NextRandState(byte);
        const uint32_t shiftY = RandJump<3>::From(state);
        const bool settled = (crt::RandOfState(byte) & 255) <= level;
        int64_t ox = crt::RandOfState(shiftX) % Jitter;
        int64_t oy = crt::RandOfState(shiftY) % Jitter;
        ox = bx + ox + 4 > s.w ? 0 : ox;
        oy = by + oy + 2 > s.h ? 0 : oy;
        srcXs[i] = static_cast<int32_t>(settled ? bx : bx + ox);
        srcYs[i] = static_cast<int32_t>(settled ? by : by + oy);
        state = settled ? byte : shiftY;
    }
    crt::RandState() = state;
}

// CutInBlt2's rows of whole blocks on a sink that draws block stretches: each
// block lands at its place, so the blocks never overlap and only the order
// of the draws from the generator matters.
template <int Jitter, class Sink>
void JitteredStretches(const Sink& sink, int64_t x, int64_t y, int level, SourceSize s, int64_t by, int64_t end)
{
    int32_t xs[kStretch];
    int32_t ys[kStretch];
    int32_t srcXs[kStretch];
    int32_t srcYs[kStretch];
    for (int64_t first = 0; first < end; first += 4 * kStretch) {
        const int n = static_cast<int>(std::min<int64_t>(kStretch, (end - first) / 4));
        JitteredSources<Jitter>(level, s, first, by, n, srcXs, srcYs);
        for (int i = 0; i < n; ++i) {
            xs[i] = Saturate32(x + first + 4 * i);
            ys[i] = Saturate32(y + by);
        }
        sink.DrawBlocks(BlockStretch{0, 0, 4, 2, xs, ys, n, srcXs, srcYs});
    }
}

}  // namespace

// Blocks settle at random; an unsettled block's place shows a part of the
// picture shifted right and down by up to J - 1 pixels.
int CutInBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        if (s.h < 1) {
            return;
        }
        const int jitter = level < 128 ? 10 : level < 200 ? 6 : level < 230 ? 4 : 2;
        const auto block = [&](int64_t bx, int64_t by) {
            if (Rand255() <= level) {
                DrawAligned(sink, x, y, {bx, by, 4, 2}, s.w, s.h);
                return;
            }
            const int64_t width = bx + 4 > s.w ? s.w - bx : 4;
            const int64_t height = by + 2 > s.h ? s.h - by : 2;
            int64_t ox = crt::rand() % jitter;
            int64_t oy = crt::rand() % jitter;
            if (bx + ox + width > s.w) {
                ox = 0;
            }
            if (by + oy + height > s.h) {
                oy = 0;
            }
            DrawAt(sink, x + bx, y + by, {bx + ox, by + oy, width, height}, s.w, s.h);
        };
        for (int64_t by = 0; by < s.h; by += 2) {
            int64_t bx = 0;
            if constexpr (std::decay_t<decltype(sink)>::kDrawsBlocks) {
                if (by + 2 <= s.h) {
                    // The whole blocks of the row, then the cut one at its end.
                    bx = s.w - s.w % 4;
                    switch (jitter) {
                    case 10:
                        JitteredStretches<10>(sink, x, y, level, s, by, bx);
                        break;
                    case 6:
                        JitteredStretches<6>(sink, x, y, level, s, by, bx);
                        break;
                    case 4:
                        JitteredStretches<4>(sink, x, y, level, s, by, bx);
                        break;
                    default:
                        JitteredStretches<2>(sink, x, y, level, s, by, bx);
                        break;
                    }
                }
            }
            for (; bx < s.w; bx += 4) {
                block(bx, by);
            }
        }
    });
}

int CutInBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Dissolve(dst, src, x, y, level, mode, modeArg, clip,
                    [level](SourceSize, int64_t, int64_t) { return int64_t{level}; });
}

// The gradient term runs from about 255 at the leading edge to 0 at the
// trailing one, so the dissolve sweeps across the picture.
int CutInBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Dissolve(dst, src, x, y, level, mode, modeArg, clip, [level](SourceSize s, int64_t, int64_t by) {
        return TruncDiv((s.h - by - 1) * 256, s.h) + 2 * int64_t{level} - 256;
    });
}

int CutInBlt5(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Dissolve(dst, src, x, y, level, mode, modeArg, clip, [level](SourceSize s, int64_t, int64_t by) {
        return TruncDiv(by * 256, s.h) + 2 * int64_t{level} - 256;
    });
}

int CutInBlt6(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Dissolve(dst, src, x, y, level, mode, modeArg, clip, [level](SourceSize s, int64_t bx, int64_t) {
        return TruncDiv((s.w - bx - 1) * 256, s.w) + 2 * int64_t{level} - 256;
    });
}

int CutInBlt7(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return Dissolve(dst, src, x, y, level, mode, modeArg, clip, [level](SourceSize s, int64_t bx, int64_t) {
        return TruncDiv(bx * 256, s.w) + 2 * int64_t{level} - 256;
    });
}

int CutInBlt8(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return GrowingSquare(dst, src, x, y, level, mode, modeArg, clip,
                         [](SourceSize s, int64_t side, int64_t* left, int64_t* top) {
                             *left = (s.w >> 1) - (side >> 1);
                             *top = (s.h >> 1) - (side >> 1);
                         });
}

int CutInBlt9(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip)
{
    return GrowingSquare(dst, src, x, y, level, mode, modeArg, clip, [](SourceSize, int64_t, int64_t*, int64_t*) {});
}

int CutInBlt10(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return GrowingSquare(dst, src, x, y, level, mode, modeArg, clip,
                         [](SourceSize s, int64_t side, int64_t* left, int64_t*) { *left = s.w - side; });
}

int CutInBlt11(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return GrowingSquare(dst, src, x, y, level, mode, modeArg, clip,
                         [](SourceSize s, int64_t side, int64_t*, int64_t* top) { *top = s.h - side; });
}

int CutInBlt12(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return GrowingSquare(dst, src, x, y, level, mode, modeArg, clip,
                         [](SourceSize s, int64_t side, int64_t* left, int64_t* top) {
                             *left = s.w - side;
                             *top = s.h - side;
                         });
}

// Even rows open from the left, odd rows from the right.
int CutInBlt13(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return Interlace(dst, src, x, y, level, mode, modeArg, clip, false);
}

// Even columns open from the top, odd columns from the bottom.
int CutInBlt14(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return Interlace(dst, src, x, y, level, mode, modeArg, clip, true);
}

int CutInBlt15(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return InterlaceTwoPhase(dst, src, x, y, level, mode, modeArg, clip, false);
}

int CutInBlt16(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return InterlaceTwoPhase(dst, src, x, y, level, mode, modeArg, clip, true);
}

// 2 x 2 blocks appear at random inside a circle growing from the centre; the
// rim is a random band 255 wide (d is the block's distance doubled).
int CutInBlt17(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        if (s.h < 1) {
            return;
        }
        const double radius = static_cast<double>(((s.w + s.h) * level) >> 8);
        RandomBlocks(sink, x, y, s, 2, 2, [&](int r, int64_t bx, int64_t by) {
            const int64_t ey = 2 * by - s.h;
            const int64_t ex = 2 * bx - s.w;
            const double d = std::sqrt(static_cast<double>(ex * ex + ey * ey));
            return r <= radius - d;
        });
    });
}

// Top-down wipe whose front edge is six rows torn sideways.
int CutInBlt18(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        const int64_t open = (s.h * level) >> 8;
        DrawAligned(sink, x, y, {0, 0, s.w, std::min(open, s.h)}, s.w, s.h);
        int64_t shifts[6];
        TornShifts(s.w, shifts);
        for (int k = 0; k < 6; ++k) {
            TornRow(sink, x, y, s, open + k, shifts[k]);
        }
    });
}

int CutInBlt19(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip)
{
    return RunTransition(dst, src, x, y, level, mode, modeArg, clip, [&](const auto& sink) {
        const SourceSize s = QuerySize(src);
        const int64_t open = (s.h * level) >> 8;
        const int64_t edge = s.h - open;
        const int64_t a = std::max<int64_t>(edge, 0);
        DrawAligned(sink, x, y, {0, a, s.w, open}, s.w, s.h);
        int64_t shifts[6];
        TornShifts(s.w, shifts);
        for (int k = 0; k < 6; ++k) {
            TornRow(sink, x, y, s, edge - 1 - k, shifts[k]);
        }
    });
}
