#include "game/ScrollRegionEffect.h"

#include "display/PlaneBase.h"

int CScrollRegionEffect::AddDirtyRects(CPlaneBase* target, RectList* list)
{
    if (!plane_ || !visible_)
        return 0;
    int32_t nextFrame = 0, nextElapsed = 0;
    ComputeFrame(tick_ + 1, &nextFrame, &nextElapsed);
    if (nextElapsed == elapsed_)
        return 0;
    int PW = 0, PH = 0, TW = 0, TH = 0;
    plane_->GetSize(&PW, &PH);
    target->GetSize(&TW, &TH);
    const int32_t left = (TW - PW) / 2;
    const int32_t right = left + PW;
    const int64_t d = static_cast<int64_t>(end_) - start_ - 1;
    // A range too short for a divisor is the band at its end.
    const auto edge = [&](int32_t elapsed) {
        return d < 1 ? PH : static_cast<int32_t>(static_cast<int64_t>(elapsed) * PH / d);
    };
    const int32_t e0 = edge(elapsed_);
    const int32_t e1 = edge(nextElapsed);
    Rect top = Rect{left, e0 - PH, right, e0}.UnitedWith({left, e1 - PH, right, e1});
    IntersectBounds(&top, 0, 0, TW - 1, TH - 1);
    list->push_back(top);
    Rect bottom = Rect{left, TH - e0, right, TH - e0 + PH}.UnitedWith({left, TH - e1, right, TH - e1 + PH});
    IntersectBounds(&bottom, 0, 0, TW - 1, TH - 1);
    list->push_back(bottom);
    return 2;
}
