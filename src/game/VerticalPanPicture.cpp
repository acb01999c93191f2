#include "game/VerticalPanPicture.h"

#include "display/PlaneBase.h"

namespace {

// travel * elapsed / d, with a range too short for a divisor counted as
// finished (the whole travel) rather than dividing by 0.
int32_t Travel(int32_t travel, int32_t elapsed, int32_t d)
{
    if (d < 1)
        return travel;
    return static_cast<int32_t>(static_cast<int64_t>(travel) * elapsed / d);
}

}  // namespace

void CVerticalPanPicture::PanPosition(CPlaneBase* target, int32_t elapsed, int32_t* x, int32_t* y)
{
    int TW = 0, TH = 0, PW = 0, PH = 0;
    target->GetSize(&TW, &TH);
    if (plane_)
        plane_->GetSize(&PW, &PH);
    const int32_t d = end_ - start_ - 1;
    if (panDirection_ == kHorizontal) {
        *x = Travel(TW - PW, elapsed, d);
        *y = getY(target, plane_);
    } else if (panDirection_ == kVertical) {
        *x = getX(target, plane_);
        *y = Travel(TH - PH, elapsed, d);
    } else {
        // No rule moves the picture for other directions: it stands at its position.
        *x = getX(target, plane_);
        *y = getY(target, plane_);
    }
}

int CVerticalPanPicture::DrawEffect(CPlaneBase* target, const Rect* clip)
{
    if (!plane_)
        return 0;
    int32_t x = 0, y = 0;
    PanPosition(target, elapsed_, &x, &y);
    BlitByMode(target, x, y, clip);
    return 0;
}
