#include "game/FrameAnimation.h"

#include "display/FastPlane.h"
#include "game/GameConfig.h"
#include "game/PictureLoader.h"

CFrameAnimation::CFrameAnimation()
{
    loopMode_ = 1;
}

CFrameAnimation::~CFrameAnimation()
{
    for (CPlaneBase* plane : frames_)
        delete plane;
}

int CFrameAnimation::AddFramePlane(CPlaneBase* plane)
{
    frames_.push_back(plane);
    count_ = static_cast<int32_t>(frames_.size());
    start_ = end_ = 0;
    return 0;
}

int CFrameAnimation::AddFrame(const std::string& name)
{
    return AddFramePlane(LoadPictureOrTofu(gConfig.baseDir + name));
}

CPlaneBase* CFrameAnimation::Current() const
{
    if (frame_ < 0 || static_cast<size_t>(frame_) >= frames_.size())
        return nullptr;
    return frames_[static_cast<size_t>(frame_)];
}

void CFrameAnimation::BeginDraw()
{
    ++tick_;
    const int32_t before = frame_;
    ComputeFrame(tick_, &frame_, &elapsed_);
    if (frame_ != before)
        tick_ = 0;
}

int CFrameAnimation::DrawEffect(CPlaneBase* target, const Rect* clip)
{
    CPlaneBase* plane = Current();
    if (!plane)
        return 0;
    const int32_t x = getX(target, plane);
    const int32_t y = getY(target, plane);
    target->AlphaBltLevel(plane, x, y, level_, nullptr, nullptr, clip);
    return 0;
}

int CFrameAnimation::AddDirtyRects(CPlaneBase* target, RectList* list)
{
    CPlaneBase* plane = Current();
    if (!visible_ || !plane)
        return 0;
    list->push_back(PlacedRect(target, plane));
    return 0;
}

void CFrameAnimation::GetSize(int* width, int* height)
{
    *width = *height = 0;
    if (!frames_.empty() && frames_[0])
        frames_[0]->GetSize(width, height);
}
