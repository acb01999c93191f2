#include "game/EffectBase.h"

#include <algorithm>

#include "platform/MessageBox.h"

int CEffectBase::OnDraw(CPlaneBase* target, const Rect* clip)
{
    return visible_ ? DrawEffect(target, clip) : 0;
}

void CEffectBase::BeginDraw()
{
    ++tick_;
    ComputeFrame(tick_, &frame_, &elapsed_);
}

void CEffectBase::SetFrameRange(int32_t count, int32_t start, int32_t end)
{
    // A negative count (a scenario's pan length, say) has no frames: as 0,
    // count - 1 and the frame arithmetic after it cannot overflow.
    count = std::max(count, 0);
    start_ = start;
    count_ = count;
    end_ = end < 0 ? count - 1 : end;
    if (end_ > count)
        end_ = count;
}

int32_t CEffectBase::LevelAt(int32_t elapsed) const
{
    // Two frames in the range (or a settings value that makes it so) leave no
    // steps in between: the effect is finished at once instead of dividing by 0.
    const int64_t divisor = static_cast<int64_t>(end_) - start_ - 1;
    if (divisor < 1)
        return 255;
    return static_cast<int32_t>(static_cast<int64_t>(elapsed) * 255 / divisor);
}

int CEffectBase::SetAttr(int32_t direction, int32_t keepFrame)
{
    if (direction == 1) {
        direction_ = 1;
    } else if (direction == 0) {
        direction_ = -1;
    } else {
        platform::ShowMessageBox("CEffectBase::SetAttr() 無効な引数", "えら", platform::MessageBoxKind::Ok);
        return 0;
    }
    if (keepFrame)
        return 0;
    state_ = direction;
    if (direction_ == -1) {
        frame_ = 0;
        elapsed_ = 0;
    } else {
        frame_ = count_ - 1;
        elapsed_ = end_ - start_ - 1;
    }
    return 0;
}

int CEffectBase::AdjustFrame()
{
    if (state_ != kStateRunning)
        return 0;
    if (direction_ == -1) {
        frame_ = 1;
        elapsed_ = 1;
    } else {
        frame_ = count_ - 2;
        elapsed_ = end_ - start_ - 2;
    }
    return 0;
}

int32_t CEffectBase::IsShown()
{
    switch (state_) {
    case kStateBefore:
    case kStateDone: return state_;
    case kStateRunning: return direction_ == 1 ? 1 : 0;
    default: return 0;
    }
}

int CEffectBase::ComputeFrame(int32_t tick, int32_t* frame, int32_t* elapsed)
{
    int32_t f = frame_;
    int32_t e = elapsed_;
    if (tick < 0)
        tick = tick + interval_ + 1;
    if (tick >= interval_)
        f += step_ * direction_;
    if (loopMode_ == 0) {
        if (f < 0)
            f = 0;
        if (f >= count_)
            f = count_ - 1;
        if (f <= start_) {
            e = 0;
            state_ = kStateBefore;
        } else if (f < end_ - 1) {
            e = f - start_;
            state_ = kStateRunning;
        } else {
            e = end_ - start_ - 1;
            state_ = kStateDone;
        }
    } else if (loopMode_ == 1) {
        if (f < 0)
            f = count_ - 1;
        if (f >= count_)
            f = 0;
        e = f;
        state_ = kStateLooping;
    }
    *frame = f;
    *elapsed = e;
    return 0;
}
