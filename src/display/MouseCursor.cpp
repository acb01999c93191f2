#include "display/MouseCursor.h"

#include "display/FastDraw.h"
#include "platform/Window.h"

CMouseCursor::~CMouseCursor() { ShowOn(nullptr); }

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
    drawnOn_ = nullptr;
    CFastPlane* back = display_ ? display_->GetBackPlane() : nullptr;
    if (back != nullptr && target == back) {
        int w = 0, h = 0;
        back->GetSize(&w, &h);
        const Rect inside = rect_.ClippedTo(Rect{0, 0, w, h});
        int uw = 0, uh = 0;
        under_.GetSize(&uw, &uh);
        const bool fits = uw == inside.Width() && uh == inside.Height() &&
                          under_.GetPixelFormat() == back->GetPixelFormat();
        if (!inside.IsEmpty() &&
            (fits || under_.CreateSurface(inside.Width(), inside.Height(), back->GetPixelFormat()) == 0) &&
            under_.Blt(back, 0, 0, &inside) == kPlaneDone) {
            underRect_ = inside;
            drawnOn_ = back;
            drawnAtPresent_ = display_->PresentCount();
        }
    }
    return target->BltAuto(image_.get(), rect_.left, rect_.top);
}

void CMouseCursor::ShowOn(CFastDraw* display)
{
    if (listener_ != 0) {
        platform::RemoveModalLoopListener(listener_);
        listener_ = 0;
    }
    display_ = display;
    drawnOn_ = nullptr;
    takenOff_ = false;
    if (display_) {
        listener_ = platform::AddModalLoopListener([this](bool running) { OnModalLoop(running); });
    }
}

void CMouseCursor::OnModalLoop(bool running)
{
    if (running) {
        takenOff_ = TakeOff();
        return;
    }
    if (!takenOff_) {
        return;
    }
    takenOff_ = false;
    // Back as the frame loop would draw it; a faded frame waits for the
    // next frame, which fades it with the rest.
    CFastPlane* back = display_->GetBackPlane();
    if (back == nullptr || !enabled_ || display_->GetFadeLevel() != 256) {
        return;
    }
    Draw(back);
    if (drawnOn_ == back) {
        display_->PresentMended({underRect_});
    }
}

bool CMouseCursor::TakeOff()
{
    CFastPlane* back = display_->GetBackPlane();
    if (drawnOn_ == nullptr || drawnOn_ != back || under_.GetPixelFormat() != back->GetPixelFormat()) {
        return false;
    }
    drawnOn_ = nullptr;
    // The frame on screen holds the drawing when at most the present that
    // showed it came since, and that present drew nothing over it (a
    // movie's frame); one that faded it fades what comes back the same way.
    const uint32_t since = display_->PresentCount() - drawnAtPresent_;
    if (since > 1 || (since == 1 && display_->HooksDrewAtLastPresent())) {
        return false;
    }
    back->Blt(&under_, underRect_.left, underRect_.top);
    if (since == 1 && display_->FadeAtLastPresent() != 256) {
        back->FadeEffect(display_->FadeAtLastPresent(), &underRect_);
    }
    display_->PresentMended({underRect_});
    return true;
}
