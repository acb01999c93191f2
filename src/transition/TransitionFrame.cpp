#include "transition/TransitionFrame.h"

#include "display/FastPlane.h"

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

void DrawPieceThroughPlane(const SinkBase& base, uint32_t mode, int32_t px, int32_t py, const Rect& piece,
                           const Size* dstSize)
{
    switch (mode) {
    case kDrawModeBlt:
        BltSink{base}(px, py, piece, dstSize);
        break;
    case kDrawModeColorKey:
        ColorKeySink{base}(px, py, piece, dstSize);
        break;
    case kDrawModeAlphaLevel:
        AlphaLevelSink{base}(px, py, piece, dstSize);
        break;
    case kDrawModeAuto:
        AutoSink{base}(px, py, piece, dstSize);
        break;
    default:
        break;
    }
}

bool PrepareDirect(PreparedBlt* drawer, CPlaneBase* dst, CPlaneBase* src, uint32_t mode, uint32_t modeArg,
                   const Rect* clip)
{
    if (dst == nullptr || src == nullptr || !dst->IsDisplayPlane() || !src->IsDisplayPlane()) {
        return false;
    }
    return drawer->Prepare(static_cast<CFastPlane*>(dst), static_cast<CFastPlane*>(src), PieceOpOfMode(mode),
                           static_cast<int>(modeArg), clip);
}

}  // namespace transition
