#include "game/EffectPicture.h"

#include <cstdio>

#include "display/PlaneBase.h"
#include "platform/MessageBox.h"
#include "transition/TransitionNameTable.h"

int32_t NormaliseEffectNumber(int32_t effect)
{
    if (effect >= 0 && effect < kTransitionCount)
        return effect;
    char message[96];
    std::snprintf(message, sizeof message, "cEffectNo がはみ出しちゃったの (%d) mod とるね", effect);
    platform::ShowMessageBox(message, "Debug", platform::MessageBoxKind::Ok);
    // A negative number would index before the table: the remainder is made
    // non-negative too.
    return ((effect % kTransitionCount) + kTransitionCount) % kTransitionCount;
}

void CEffectPicture::SetEffectNumber(int32_t effect)
{
    effect_ = NormaliseEffectNumber(effect);
}

int CEffectPicture::DrawEffect(CPlaneBase* target, const Rect* clip)
{
    if (!plane_)
        return 0;
    const int32_t y = getY(target, plane_);
    const int32_t x = getX(target, plane_);
    if (start_ <= frame_ && frame_ < end_) {
        // A transition draws the whole picture whatever the clip; under an
        // opaque picture it would only be painted over.
        if (clip && clip->IsEmpty())
            return 0;
        // effect_ only changes through SetEffectNumber, which keeps it in range.
        TransitionNameTable[effect_].func(target, plane_, x, y, LevelAt(elapsed_), kDrawModeAuto, 255, nullptr);
        return 0;
    }
    BlitByMode(target, x, y, clip);
    return 0;
}

int CEffectPicture::AddDirtyRects(CPlaneBase* target, RectList* list)
{
    int32_t nextFrame = 0, nextElapsed = 0;
    ComputeFrame(tick_ + 1, &nextFrame, &nextElapsed);
    if (start_ <= nextFrame && frame_ < end_ && plane_) {
        int W = 0, H = 0;
        target->GetSize(&W, &H);
        list->push_back({0, 0, W, H});
        return 1;
    }
    return 0;
}

bool CEffectPicture::OpaqueRect(CPlaneBase* target, Rect* covered)
{
    if (!visible_ || !plane_ || blitMode_ != kBlitPlain)
        return false;
    // Asked before BeginDraw moves the frame machine: the frame it moves to
    // decides, as in AddDirtyRects, and the state it stores stays as it was.
    const int32_t state = state_;
    int32_t nextFrame = 0, nextElapsed = 0;
    ComputeFrame(tick_ + 1, &nextFrame, &nextElapsed);
    state_ = state;
    if (start_ <= nextFrame && nextFrame < end_)
        return false;
    *covered = PlacedRect(target, plane_);
    return true;
}
