#include "display/MouseCursor.h"

#include "platform/Window.h"

void CMouseCursor::SetImage(const CRingPtr<CPlaneBase>& picture, int hotX, int hotY)
{
    image_ = picture;
    width_ = height_ = 0;
    if (image_ && image_->IsCreated()) {
        image_->GetSize(&width_, &height_);
    }
    hotX_ = hotX;
    hotY_ = hotY;
    UpdateRect();
    SetEnabled(true);
}

void CMouseCursor::SetEnabled(bool on)
{
    enabled_ = on;
    platform::ShowSystemCursor(!on);
}

void CMouseCursor::SetPosition(int x, int y)
{
    x_ = x;
    y_ = y;
    UpdateRect();
}

void CMouseCursor::UpdateRect()
{
    SetRect(&rect_, x_ - hotX_, y_ - hotY_, x_ - hotX_ + width_, y_ - hotY_ + height_);
}

int CMouseCursor::Draw(CPlaneBase* target)
{
    if (!enabled_ || target == nullptr || !image_ || width_ <= 0 || height_ <= 0) {
        return 0;
    }
    return target->BltAuto(image_.get(), rect_.left, rect_.top);
}
