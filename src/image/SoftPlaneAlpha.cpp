// The operations on the alpha byte, the displacement blit and the area set-up
// of the colour operations. One body serves every kernel set: each costs a
// table lookup, a mask and an addition per pixel.
#include <algorithm>
#include <cstdint>

#include "display/SurfaceView.h"
#include "image/DisplacementMap.h"
#include "image/SoftPlaneImpl.h"

// Process-wide alpha tables: entry i holds the new alpha in its top byte.
// The level-driven ones are rebuilt only when the level changes (-1: never
// built). Planes live on the main thread, so the tables are not locked.
uint32_t gFadeAlphaTable[256];
int gFadeAlphaLevel = -1;
uint32_t gScaleAlphaTable[256];
int gScaleAlphaLevel = -1;
uint32_t gAlphaRampTable[256];

namespace {

// Top byte of entry i = floor(i * level / 256) mod 256, by a running sum.
void BuildLevelTable(uint32_t* table, int* builtFor, int level)
{
    if (*builtFor == level) {
        return;
    }
    *builtFor = level;
    uint32_t sum = 0;
    for (int i = 0; i < 256; ++i) {
        table[i] = sum & 0xFF000000u;
        sum += static_cast<uint32_t>(level) << 16;
    }
}

bool SameSize(const CSoftPlaneImpl& a, const CSoftPlaneImpl& b)
{
    return a.GetRect()->right == b.GetRect()->right && a.GetRect()->bottom == b.GetRect()->bottom;
}

// Applies pixel := f(own pixel, src pixel at the same position) over the area
// (src may be this plane).
template <class F>
void WalkArea(CSoftPlaneImpl& plane, const CSoftPlaneImpl& src, const Rect& area, F f)
{
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* d = plane.GetRow(y);
        const uint32_t* s = src.GetRow(y);
        for (int x = area.left; x < area.right; ++x) {
            d[x] = f(d[x], s[x]);
        }
    }
}

}  // namespace

Rect CSoftPlaneImpl::IntersectClip(const Rect* clip) const
{
    Rect area;
    IntersectClipRect(SurfaceView{nullptr, 0, rect_}, &area, clip);
    return area;
}

int CSoftPlaneImpl::MakeAlphaFromPlane(CSoftPlaneImpl* src, int lo, int hi, int alphaLo, int alphaHi,
                                       const Rect* clip)
{
    if (src == nullptr || !SameSize(*this, *src)) {
        return 1;
    }
    auto put = [](int i, int64_t alpha) { gAlphaRampTable[i] = static_cast<uint32_t>(alpha & 0xFF) << 24; };
    for (int i = 0; i <= std::min(lo, 255); ++i) {
        put(i, alphaLo);
    }
    // 64-bit: lo and hi are meant to be channel values, but a wide ramp must
    // not overflow; hi > lo here, so the divisor is never 0.
    for (int i = std::max(lo + 1, 0); i < std::min(hi, 256); ++i) {
        put(i, alphaLo + int64_t{alphaHi - alphaLo} * (i - int64_t{lo}) / (int64_t{hi} - lo));
    }
    for (int i = std::max(hi, 0); i < 256; ++i) {
        put(i, alphaHi);
    }
    WalkArea(*this, *src, IntersectClip(clip),
             [](uint32_t p, uint32_t s) { return gAlphaRampTable[s & 0xFF] + (p & 0xFFFFFFu); });
    return 0;
}

int CSoftPlaneImpl::BltScaleAlpha(CSoftPlaneImpl* src, int level, const Rect* clip)
{
    if (src == nullptr || !SameSize(*this, *src)) {
        return 1;
    }
    BuildLevelTable(gScaleAlphaTable, &gScaleAlphaLevel, level);
    WalkArea(*this, *src, IntersectClip(clip),
             [](uint32_t, uint32_t s) { return gScaleAlphaTable[s >> 24] + (s & 0xFFFFFFu); });
    return 0;
}

int CSoftPlaneImpl::ReservedBlt(CSoftPlaneImpl*, int, int, const Rect*, const Size*, const Rect*)
{
    return 0;
}

int CSoftPlaneImpl::DisplaceBlt(CSoftPlaneImpl* src, const DisplacementMap* map, int x, int y,
                                const Rect* srcRect, const Rect* clip)
{
    if (src == nullptr || map == nullptr || src->GetPixels() == nullptr ||
        PrepareBlt(src, x, y, srcRect, nullptr, clip) != 0) {
        return 0;
    }
    const int ox = srcRect ? srcRect->left : 0;
    const int oy = srcRect ? srcRect->top : 0;
    const Rect& source = *src->GetRect();
    DisplacementEntry* const* rows = map->GetRows();
    const BltWork& w = work_;
    // The blit position is measured from the unclipped origin, so a clipped
    // blit draws exactly the matching part of the unclipped one. The map and
    // the source are both bounded: a position the map does not cover, or an
    // entry pointing outside the source, leaves the destination pixel as it was.
    for (int Y = w.dt; Y < w.db; ++Y) {
        const int64_t v = int64_t{Y - w.dt} + w.st - oy;
        if (v < 0 || v >= map->GetHeight()) {
            continue;
        }
        uint32_t* d = GetRow(Y);
        for (int X = w.dl; X < w.dr; ++X) {
            const int64_t u = int64_t{X - w.dl} + w.sl - ox;
            if (u < 0 || u >= map->GetWidth()) {
                continue;
            }
            const DisplacementEntry& e = rows[v][u];
            const int64_t sy = oy + v + e.dy;
            const int64_t sx = ox + u + e.dx;
            if (sx < source.left || sx >= source.right || sy < source.top || sy >= source.bottom) {
                continue;
            }
            d[X] = src->GetRow(static_cast<int>(sy))[sx];
        }
    }
    return 0;
}

int CSoftPlaneImpl::PrepareColorArea(const Rect* rect)
{
    if (GetPixels() == nullptr || (rect != nullptr && rect->left > rect->right)) {
        return 1;
    }
    Rect area = IntersectClip(rect);
    if (area.IsEmpty()) {
        return 1;
    }
    work_.sl = area.left;
    work_.st = area.top;
    work_.sr = area.right;
    work_.sb = area.bottom;
    return 0;
}

int CSoftPlaneImpl::FadeAlpha(int level, const Rect* clip)
{
    if (level == 256) {
        return 0;
    }
    BuildLevelTable(gFadeAlphaTable, &gFadeAlphaLevel, level);
    WalkArea(*this, *this, IntersectClip(clip),
             [](uint32_t p, uint32_t) { return gFadeAlphaTable[p >> 24] + (p & 0xFFFFFFu); });
    return 0;
}

int CSoftPlaneImpl::NegativeAlpha(const Rect* clip)
{
    WalkArea(*this, *this, IntersectClip(clip), [](uint32_t p, uint32_t) { return p ^ 0xFF000000u; });
    return 0;
}
