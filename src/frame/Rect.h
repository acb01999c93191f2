#pragma once
// Rectangles and sizes as the whole program passes them: {left, top, right,
// bottom} with right and bottom exclusive, and {cx, cy}.
#include <cstdint>

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // True when the two share a pixel.
    bool Overlaps(const Rect& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
    // The part of this rectangle inside o (empty, IsEmpty, where none is).
    Rect ClippedTo(const Rect& o) const
    {
        return {left > o.left ? left : o.left, top > o.top ? top : o.top, right < o.right ? right : o.right,
                bottom < o.bottom ? bottom : o.bottom};
    }
    // The smallest rectangle holding this one and o.
    Rect UnitedWith(const Rect& o) const
    {
        return {left < o.left ? left : o.left, top < o.top ? top : o.top, right > o.right ? right : o.right,
                bottom > o.bottom ? bottom : o.bottom};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Fills a rectangle from its four edges; every transition piece is made with it.
inline void SetRect(Rect* rect, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    rect->left = left;
    rect->top = top;
    rect->right = right;
    rect->bottom = bottom;
}
