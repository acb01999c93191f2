#pragma once
// Ticks and sleeping for the frame's timers.
#include <cstdint>

namespace platform {

// Milliseconds of a monotonic clock (wraps after about 49 days; differences
// stay right when taken as unsigned).
uint32_t GetTicks();
// Microseconds of the same clock, for measuring pacing.
uint64_t GetMicroTicks();
// Sleeps the calling thread for ms milliseconds (nothing for 0 or less).
void SleepMs(int ms);

}  // namespace platform
