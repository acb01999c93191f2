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
    blocksWide_ = (width_ + kBlock - 1) / kBlock;
    blocksHigh_ = (height_ + kBlock - 1) / kBlock;
    std::vector<uint8_t> marked(static_cast<size_t>(blocksWide_) * blocksHigh_, 0);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (plane->GetAlphaAt(x, y) > 0)
                marked[static_cast<size_t>(y / kBlock) * blocksWide_ + x / kBlock] = 1;
        }
    }
    const size_t stride = static_cast<size_t>(blocksWide_) + 1;
    sums_.assign(stride * (static_cast<size_t>(blocksHigh_) + 1), 0);
    for (int by = 0; by < blocksHigh_; ++by) {
        uint32_t row = 0;
        for (int bx = 0; bx < blocksWide_; ++bx) {
            row += marked[static_cast<size_t>(by) * blocksWide_ + bx];
            sums_[(by + 1) * stride + bx + 1] = sums_[by * stride + bx + 1] + row;
        }
    }
    all_ = false;
}

bool CAlphaCoverage::Shows(const Rect& r, int x, int y) const
{
    if (all_)
        return true;
    // r in the picture's own coordinates, cut to the picture, then the blocks it meets.
    const int left = std::clamp(r.left - x, 0, width_), right = std::clamp(r.right - x, 0, width_);
    const int top = std::clamp(r.top - y, 0, height_), bottom = std::clamp(r.bottom - y, 0, height_);
    if (left >= right || top >= bottom)
        return false;
    const int bl = left / kBlock, br = (right - 1) / kBlock + 1;
    const int bt = top / kBlock, bb = (bottom - 1) / kBlock + 1;
    const size_t stride = static_cast<size_t>(blocksWide_) + 1;
    const uint32_t n = sums_[bb * stride + br] - sums_[bt * stride + br] - sums_[bb * stride + bl] + sums_[bt * stride + bl];
    return n != 0;
}
