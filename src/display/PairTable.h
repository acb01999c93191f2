#pragma once
// One plane operation's kernels by (destination, source) format code.
#include "display/PixelFormat.h"

// Filled at compile time from a rule: fill(D{}, S{}, &slot) is called with
// the traits of every pair of format codes and stores the pair's kernel, or
// leaves the refusal kernel (which answers the operation's own refusal code).
// A look-up is then one bounds test and one load, with no null test and no
// guard of a static: choosing through two nested format switches on every
// call showed on the path of the transitions' one-pixel pieces.
template <class Kernel>
struct PairTable {
    static constexpr int kCodes = 16;
    Kernel kernels[kCodes][kCodes] = {};
    Kernel refusal = nullptr;

    template <class Fill>
    constexpr PairTable(Kernel refuse, Fill&& fill) : refusal(refuse)
    {
        for (int d = 0; d < kCodes; ++d) {
            for (int s = 0; s < kCodes; ++s) {
                kernels[d][s] = refuse;
                pixfmt::VisitFormat(d, [&](auto dt) {
                    pixfmt::VisitFormat(s, [&](auto st) { fill(dt, st, &kernels[d][s]); });
                });
            }
        }
    }

    // The refusal kernel for a code outside the table (no surface, 1, 9).
    constexpr Kernel Find(int dst, int src) const
    {
        return static_cast<unsigned>(dst) < kCodes && static_cast<unsigned>(src) < kCodes ? kernels[dst][src]
                                                                                           : refusal;
    }
};
