#pragma once
// CTimer: milliseconds elapsed since the last Reset. A pause freezes the
// value; pauses nest, and the timer runs on from the frozen value once every
// pause has been resumed, or from 0 at the next Reset. Every timer belongs to
// one process-wide set, so the whole program's clocks can be paused at once.
#include <cstdint>

class CTimer {
public:
    // Registers the timer in the set and starts it (Reset).
    CTimer();
    // Removes the timer from the set.
    virtual ~CTimer();
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    // Start := now; ends any pause.
    void Reset();
    // now - start, or pause time - start while paused.
    int GetElapsed() const;
    // Records the pause time on the first of nested calls and counts them.
    void Pause();
    // Undoes one Pause; the last one lets the timer run on from where it froze.
    void Resume();
    bool IsPaused() const { return pauseCount_ > 0; }

    // Pause or Resume every timer of the set.
    static void PauseAll();
    static void ResumeAll();
    // The number of timers alive.
    static int GetTimerCount();

    // The clock of every timer: milliseconds and a sleep. The program uses the
    // platform's monotonic clock; tests put a manual clock in its place.
    struct Clock {
        uint32_t (*now)() = nullptr;
        void (*sleep)(int ms) = nullptr;
    };
    // A clock with null members restores the platform clock.
    static void SetClock(const Clock& clock);
    static uint32_t Now();
    static void Sleep(int ms);

private:
    uint32_t start_ = 0;
    uint32_t pausedAt_ = 0;
    int pauseCount_ = 0;
};
