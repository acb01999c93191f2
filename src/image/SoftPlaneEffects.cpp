// The in-place effects of the software plane that are not alpha operations:
// channel fade and smoothing.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "image/SoftPlaneImpl.h"

// Shared channel fade table: entry i = (i * factor) >> 8, rebuilt only when
// the factor changes (-1: never built). Main thread only, not locked.
int gScaleTable[256];
int gScaleTableFactor = -1;

int CSoftPlaneImpl::FadeEffect(int factor, const Rect* clip)
{
    factor = std::clamp(factor, 0, 256);
    if (factor != gScaleTableFactor) {
        gScaleTableFactor = factor;
        for (int i = 0; i < 256; ++i) {
            gScaleTable[i] = (i * factor) >> 8;
        }
    }
    const Rect area = IntersectClip(clip);
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = GetRow(y);
        for (int x = area.left; x < area.right; ++x) {
            const uint32_t p = row[x];
            row[x] = (static_cast<uint32_t>(gScaleTable[(p >> 16) & 0xFF]) << 16) +
                     (static_cast<uint32_t>(gScaleTable[(p >> 8) & 0xFF]) << 8) +
                     static_cast<uint32_t>(gScaleTable[p & 0xFF]);
        }
    }
    return 0;
}

int CSoftPlaneImpl::SmoothEffect(const Rect* clip)
{
    const Rect area = IntersectClip(clip);
    if (area.IsEmpty()) {
        return 1;
    }
    if (area.Width() < 4 || area.Height() < 4) {
        return 2;
    }
    // Each neighbour loses the low 3 bits of its channels so that eight of
    // them add up inside their own byte; the centre counts four times, so its
    // top byte is cut to 6 bits first, and a doubled edge neighbour to 7.
    constexpr uint32_t kNeighbour = 0xFFF8F8F8u;
    constexpr uint32_t kCentre = 0x3FF8F8F8u;
    constexpr uint32_t kDoubled = 0x7FF8F8F8u;
    const int n = area.Width();
    // Results of the previous row wait in `done` until the current row has
    // been computed from the unchanged pixels above it.
    std::vector<uint32_t> done(GetRow(area.top) + area.left, GetRow(area.top) + area.right);
    std::vector<uint32_t> next(static_cast<size_t>(n));
    for (int y = area.top + 1; y < area.bottom - 1; ++y) {
        const uint32_t* up = GetRow(y - 1) + area.left;
        const uint32_t* row = GetRow(y) + area.left;
        const uint32_t* down = GetRow(y + 1) + area.left;
        for (int i = 0; i < n; ++i) {
            uint32_t sides = 0;
            if (i == 0) {
                sides = (row[1] & kDoubled) * 2;
            } else if (i == n - 1) {
                sides = (row[n - 2] & kDoubled) * 2;
            } else {
                sides = (row[i - 1] & kNeighbour) + (row[i + 1] & kNeighbour);
            }
            next[static_cast<size_t>(i)] =
                ((up[i] & kNeighbour) + (down[i] & kNeighbour) + sides + (row[i] & kCentre) * 4) >> 3;
        }
        std::copy(done.begin(), done.end(), GetRow(y - 1) + area.left);
        done.swap(next);
    }
    std::copy(done.begin(), done.end(), GetRow(area.bottom - 2) + area.left);
    std::copy(done.begin(), done.end(), GetRow(area.bottom - 1) + area.left);
    return 0;
}
