#include "transition/TransitionFrame.h"

namespace transition {

int DrawWhole(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, uint32_t mode, uint32_t modeArg,
              const Rect* clip)
{
    switch (mode) {
    case kDrawModeBlt:
        return dst->Blt(src, x, y, nullptr, nullptr, clip);
    case kDrawModeColorKey:
        return dst->BltColorKey(src, x, y, nullptr, nullptr, clip);
    case kDrawModeAlphaLevel:
        return dst->AlphaBltLevel(src, x, y, static_cast<int>(modeArg), nullptr, nullptr, clip);
    case kDrawModeAuto:
        return dst->BltAuto(src, x, y, nullptr, nullptr, clip);
    default:
        return 0;
    }
}

}  // namespace transition
