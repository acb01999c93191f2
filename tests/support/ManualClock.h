#pragma once
// A manual clock for the timers: tests move time by hand, and a sleep moves
// it by exactly the time asked for, so pacing is tested without real time.
#include <cstdint>
#include <vector>

#include "frame/CTimer.h"

struct ManualClock {
    static inline uint32_t now = 0;
    static inline std::vector<int> sleeps;

    ManualClock()
    {
        now = 1000;
        sleeps.clear();
        CTimer::SetClock({[] { return now; }, [](int ms) {
                              sleeps.push_back(ms);
                              now += static_cast<uint32_t>(ms);
                          }});
    }
    ~ManualClock() { CTimer::SetClock({}); }
};
