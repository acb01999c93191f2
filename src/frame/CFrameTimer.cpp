#include "frame/CFrameTimer.h"

namespace {
constexpr int kDefaultFps = 60;
}

CFrameTimer::CFrameTimer() { SetFPS(kDefaultFps); }

void CFrameTimer::SetFPS(int fps)
{
    if (fps <= 0) {
        return;
    }
    period_ = static_cast<uint32_t>(65536000u / static_cast<uint32_t>(fps));
    frames_ = 0;
    Reset();
}

void CFrameTimer::WaitFrame()
{
    if (IsPaused()) {
        // The frozen clock gives no deadline: keep the pace with a plain
        // frame-long sleep, and leave the schedule where it is.
        Sleep(static_cast<int>((static_cast<uint64_t>(period_) + 0xFFFF) >> 16));
        return;
    }
    ++frames_;
    const uint64_t deadline = frames_ * period_;
    const int elapsed = GetElapsed();
    const uint64_t now = elapsed > 0 ? static_cast<uint64_t>(elapsed) << 16 : 0;
    if (now >= deadline) {
        if (now - deadline > period_) {
            frames_ = 0;
            Reset();
        }
        return;
    }
    const uint64_t wait = deadline - now;
    if (wait > period_) {
        // Further than one frame ahead: the clock stood still or went back.
        frames_ = 0;
        Reset();
        return;
    }
    // Round up: waking before the deadline would shorten the frame.
    Sleep(static_cast<int>((wait + 0xFFFF) >> 16));
}
