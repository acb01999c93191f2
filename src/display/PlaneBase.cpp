// The plane interface's shared operations.
#include "display/PlaneBase.h"

#include <algorithm>

const char* ToString(PlaneResult result)
{
    switch (result) {
    case kPlaneDone: return "done";
    case kPlaneNotLocked: return "surface not created or not locked";
    case kPlaneFormatPair: return "pixel-format pair not supported";
    }
    return "unknown plane result";
}

void CPlaneBase::LevelToRates(int level, Rates* dstRate, Rates* srcRate)
{
    // A level outside 0..255 would spill one channel's weight into the next.
    const Rates l = static_cast<Rates>(std::clamp(level, 0, 255)) * 0x010101u;
    *dstRate = 0xFFFFFFu - l;
    *srcRate = l;
}

int CPlaneBase::BlendBltColorKey(CPlaneBase* src, int x, int y, int level, const Rect* srcRect,
                                 const Size* dstSize, const Rect* clip)
{
    Rates dstRate, srcRate;
    LevelToRates(level, &dstRate, &srcRate);
    return RateBltColorKey(src, x, y, dstRate, srcRate, srcRect, dstSize, clip);
}

int CPlaneBase::BlendBlt(CPlaneBase* src, int x, int y, int level, const Rect* srcRect, const Size* dstSize,
                         const Rect* clip)
{
    Rates dstRate, srcRate;
    LevelToRates(level, &dstRate, &srcRate);
    return RateBlt(src, x, y, dstRate, srcRate, srcRect, dstSize, clip);
}

int CPlaneBase::AlphaBltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect,
                              const Size* dstSize, const Rect* clip)
{
    Rates dstRate, srcRate;
    LevelToRates(level, &dstRate, &srcRate);
    return AlphaRateBlt(src, x, y, dstRate, srcRate, srcRect, dstSize, clip);
}

int CPlaneBase::BltAuto(CPlaneBase* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    if (src != nullptr && src->HasAlpha()) {
        return AlphaBlt(src, x, y, srcRect, dstSize, clip);
    }
    return BltColorKey(src, x, y, srcRect, dstSize, clip);
}

int CPlaneBase::BltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect, const Size* dstSize,
                         const Rect* clip)
{
    if (level >= 255) {
        return BltAuto(src, x, y, srcRect, dstSize, clip);
    }
    if (src != nullptr && src->HasAlpha()) {
        return AlphaBltLevel(src, x, y, level, srcRect, dstSize, clip);
    }
    return BlendBltColorKey(src, x, y, level, srcRect, dstSize, clip);
}

int CPlaneBase::BltWithAnchor(CPlaneBase* src, int x, int y, int anchor, int level)
{
    if (src == nullptr) {
        return -1;
    }
    int w = 0, h = 0;
    src->GetSize(&w, &h);
    switch (anchor) {
    case 0: x -= w >> 1; y -= h >> 1; break;  // centre
    case 1: break;                            // top-left
    case 2: x -= w; break;                    // top-right
    case 3: y -= h; break;                    // bottom-left
    case 4: x -= w; y -= h; break;            // bottom-right
    default: return -2;
    }
    return BltLevel(src, x, y, level, nullptr, nullptr, nullptr);
}

int CPlaneBase::LoadTwoFiles(const std::string&, const std::string&)
{
    return 1;
}
