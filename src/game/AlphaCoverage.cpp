#include "game/AlphaCoverage.h"

#include <algorithm>

#include "display/PlaneBase.h"

void CAlphaCoverage::Take(CPlaneBase* plane)
{
    sums_.clear();
    all_ = true;
    if (!plane || !plane->HasAlpha())
        return;
    plane->GetSize(&width_, &height_);
    if (width_ <= 0 || height_ <= 0)
        return;
    const size_t stride = static_cast<size_t>(width_) + 1;
    sums_.assign(stride * (static_cast<size_t>(height_) + 1), 0);
    for (int y = 0; y < height_; ++y) {
        uint32_t row = 0;
        for (int x = 0; x < width_; ++x) {
            row += plane->GetAlphaAt(x, y) > 0 ? 1 : 0;
            sums_[(y + 1) * stride + x + 1] = sums_[y * stride + x + 1] + row;
        }
    }
    all_ = false;
}

bool CAlphaCoverage::Shows(const Rect& r, int x, int y) const
{
    if (all_)
        return true;
    // r in the picture's own coordinates, cut to the picture.
    const int left = std::clamp(r.left - x, 0, width_), right = std::clamp(r.right - x, 0, width_);
    const int top = std::clamp(r.top - y, 0, height_), bottom = std::clamp(r.bottom - y, 0, height_);
    if (left >= right || top >= bottom)
        return false;
    const size_t stride = static_cast<size_t>(width_) + 1;
    const uint32_t n = sums_[bottom * stride + right] - sums_[top * stride + right] - sums_[bottom * stride + left] +
                       sums_[top * stride + left];
    return n != 0;
}
