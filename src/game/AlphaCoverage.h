#pragma once
// CAlphaCoverage: which parts of a picture with alpha are not fully clear,
// counted once by blocks of pixels so that asking it of a rectangle is a few
// lookups in a table small enough to stay in the cache. A blend of a
// rectangle where the picture is all clear leaves the target as it was, so
// a caller may skip it.
#include <cstdint>
#include <vector>

#include "frame/Rect.h"

class CPlaneBase;

class CAlphaCoverage {
public:
    // Side of the square blocks counted.
    static constexpr int kBlock = 16;

    // Marks the blocks of plane holding a pixel whose alpha is above 0 (a
    // plane without alpha, or none: every pixel counts).
    void Take(CPlaneBase* plane);
    // False when every pixel of r, the picture placed at (x, y), is fully
    // clear, as is all of every block r meets; true otherwise (so true for
    // a clear pixel whose block holds one that is not) and for anything
    // before Take.
    bool Shows(const Rect& r, int x, int y) const;

private:
    // Counts of the marked blocks above and to the left,
    // (blocksWide_ + 1) x (blocksHigh_ + 1).
    std::vector<uint32_t> sums_;
    int width_ = 0, height_ = 0;
    int blocksWide_ = 0, blocksHigh_ = 0;
    bool all_ = true;
};
