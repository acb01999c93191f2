#include "platform/Time.h"

#include <cerrno>
#include <ctime>

namespace platform {

uint64_t GetMicroTicks()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

uint32_t GetTicks() { return static_cast<uint32_t>(GetMicroTicks() / 1000u); }

void SleepMs(int ms)
{
    if (ms <= 0) {
        return;
    }
    timespec request{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    // A signal may wake the sleep early; sleep out the rest.
    while (nanosleep(&request, &request) != 0 && errno == EINTR) {
    }
}

}  // namespace platform
