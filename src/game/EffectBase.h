#pragma once
// CEffectBase: a drawable whose picture comes and goes over a range of frames.
// A frame counter runs from the current frame towards the end of the range
// that the direction selects; the state tells where it stands:
//   0 before the start frame, 2 running, 1 finished, 4 looping.
// Derived drawables draw in DrawEffect; the level of a transition at a frame
// is LevelAt(elapsed), 0 at the start frame and 255 at frame end - 1.
#include "game/Drawable.h"

class CEffectBase : public CDrawable {
public:
    static constexpr int32_t kStateBefore = 0;
    static constexpr int32_t kStateDone = 1;
    static constexpr int32_t kStateRunning = 2;
    static constexpr int32_t kStateLooping = 4;

    // When visible, DrawEffect; else nothing (the state is the frame machine's). 0.
    int OnDraw(CPlaneBase* target, const Rect* clip) override;
    // While running: one frame before the end of the range, so the next
    // BeginDraw finishes. 0.
    int AdjustFrame() override;
    // tick + 1, then the frame machine on the drawable's own fields.
    void BeginDraw() override;

    virtual int DrawEffect(CPlaneBase* target, const Rect* clip) = 0;
    // direction 1 shows, 0 hides (anything else: a message box, nothing
    // changes). keepFrame non-zero runs from the current frame; 0 jumps to
    // the direction's end state. 0.
    virtual int SetAttr(int32_t direction, int32_t keepFrame);
    // The frame machine: the frame and elapsed value at `tick` into the
    // outputs; stores the state those give. 0.
    virtual int ComputeFrame(int32_t tick, int32_t* frame, int32_t* elapsed);
    // 1 when shown or being shown, else 0.
    virtual int32_t IsShown();

    // count frames (a negative count as 0), first frame start, end exclusive
    // (negative: count - 1; above count: count).
    void SetFrameRange(int32_t count, int32_t start, int32_t end);
    // The level 0-255 of a transition at elapsed frames. A range too short to
    // have a divisor (end - start - 1 < 1) counts as finished: 255.
    int32_t LevelAt(int32_t elapsed) const;

    int32_t GetFrame() const { return frame_; }
    int32_t GetElapsed() const { return elapsed_; }
    int32_t GetDirection() const { return direction_; }
    int32_t GetStart() const { return start_; }
    int32_t GetEnd() const { return end_; }
    int32_t GetCount() const { return count_; }
    void SetInterval(int32_t interval) { interval_ = interval; }
    void SetStep(int32_t step) { step_ = step; }

protected:
    int32_t frame_ = 0;
    int32_t elapsed_ = 0;
    int32_t count_ = 0;
    int32_t start_ = 0;
    int32_t end_ = 0;
    int32_t direction_ = 1;
    int32_t step_ = 1;
    int32_t interval_ = 1;
    int32_t tick_ = 0;
    int32_t loopMode_ = 0;
};
