#pragma once
// CFrameTimer: paces a loop at a number of frames per second. The frame
// period is kept in milliseconds as 16.16 fixed point, so a rate that does not
// divide 1000 (30 fps: 33.33 ms) keeps its average exactly.
#include <cstdint>

#include "frame/CTimer.h"

class CFrameTimer : public CTimer {
public:
    // 60 frames per second until SetFPS.
    CFrameTimer();

    // Period := 65536000 / fps (16.16 ms) and restart the count; a rate of 0
    // or less is refused (the period stays).
    void SetFPS(int fps);
    // Sleeps until the next frame's deadline. A loop that fell more than a
    // frame behind (or a paused clock) starts a new schedule from now instead
    // of racing to catch up.
    void WaitFrame();
    // The period in 16.16 milliseconds.
    uint32_t GetPeriod() const { return period_; }

private:
    uint32_t period_ = 0;
    uint64_t frames_ = 0;
};
