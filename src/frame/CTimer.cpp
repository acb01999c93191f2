#include "frame/CTimer.h"

#include <mutex>
#include <vector>

#include "platform/Time.h"

namespace {

// The set is touched from any thread (a movie's clock lives on its worker).
std::mutex& SetLock()
{
    static std::mutex lock;
    return lock;
}
std::vector<CTimer*>& TimerSet()
{
    static std::vector<CTimer*> timers;
    return timers;
}

CTimer::Clock gClock;

}  // namespace

CTimer::CTimer()
{
    Reset();
    std::lock_guard lock(SetLock());
    TimerSet().push_back(this);
}

CTimer::~CTimer()
{
    std::lock_guard lock(SetLock());
    std::erase(TimerSet(), this);
}

void CTimer::Reset()
{
    start_ = Now();
    pauseCount_ = 0;
}

int CTimer::GetElapsed() const
{
    const uint32_t end = pauseCount_ > 0 ? pausedAt_ : Now();
    // Unsigned difference: right across the clock's wrap.
    return static_cast<int>(end - start_);
}

void CTimer::Pause()
{
    if (pauseCount_++ == 0) {
        pausedAt_ = Now();
    }
}

void CTimer::Resume()
{
    if (pauseCount_ <= 0) {
        return;
    }
    if (--pauseCount_ == 0) {
        // Move the start by the paused span, so the value runs on from where it froze.
        start_ += Now() - pausedAt_;
    }
}

void CTimer::PauseAll()
{
    std::lock_guard lock(SetLock());
    for (CTimer* timer : TimerSet()) {
        timer->Pause();
    }
}

void CTimer::ResumeAll()
{
    std::lock_guard lock(SetLock());
    for (CTimer* timer : TimerSet()) {
        timer->Resume();
    }
}

int CTimer::GetTimerCount()
{
    std::lock_guard lock(SetLock());
    return static_cast<int>(TimerSet().size());
}

void CTimer::SetClock(const Clock& clock) { gClock = clock; }

uint32_t CTimer::Now() { return gClock.now ? gClock.now() : platform::GetTicks(); }

void CTimer::Sleep(int ms)
{
    if (gClock.sleep) {
        gClock.sleep(ms);
    } else {
        platform::SleepMs(ms);
    }
}
