#pragma once
// The frame of AddColor / SubColor shared by both kernel sets: the set's own
// saturating add or subtract rule, with a constant colour as the "source".
#include <algorithm>
#include <cstdint>

#include "image/SoftPlaneWalk.h"

// Applies op(colour, pixel) to every pixel of the area PrepareColorArea
// finds; a rule with a row kernel gets the colour as a short constant row.
// Returns PrepareColorArea's 1, else 0.
template <class Op>
int RunColorKernel(CSoftPlaneImpl* plane, const Op& op, uint32_t colour, const Rect* rect)
{
    if (plane->PrepareColorArea(rect) != 0) {
        return 1;
    }
    // An RGBColor: a top byte would change the alpha, which these keep.
    colour &= 0xFFFFFFu;
    const BltWork& w = plane->work();
    for (int y = w.st; y < w.sb; ++y) {
        uint32_t* d = plane->GetRow(y) + w.sl;
        const int n = w.sr - w.sl;
        if constexpr (HasRowKernel<Op>) {
            constexpr int kChunk = 64;
            uint32_t row[kChunk];
            std::fill(row, row + kChunk, colour);
            for (int i = 0; i < n; i += kChunk) {
                op.Row(d + i, row, std::min(kChunk, n - i));
            }
        } else {
            for (int i = 0; i < n; ++i) {
                d[i] = op(colour, d[i]);
            }
        }
    }
    return 0;
}
