#pragma once
// CAlphaCoverage: which parts of a picture with alpha are not fully clear,
// counted once so that asking it of a rectangle is a few lookups. A blend of
// a rectangle where the picture is all clear leaves the target as it was,
// so a caller may skip it.
#include <cstdint>
#include <vector>

#include "frame/Rect.h"

class CPlaneBase;

class CAlphaCoverage {
public:
    // Counts plane's pixels whose alpha is above 0 (a plane without alpha,
    // or none: every pixel counts).
    void Take(CPlaneBase* plane);
    // True when some pixel of r, the picture placed at (x, y), is not fully
    // clear; true for anything before Take.
    bool Shows(const Rect& r, int x, int y) const;

private:
    // Counts of the pixels above and to the left, (width + 1) x (height + 1).
    std::vector<uint32_t> sums_;
    int width_ = 0, height_ = 0;
    bool all_ = true;
};
