#include "sound/MediaObject.h"

#include "platform/Time.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

int CMediaObject::Load(std::string /*path*/)
{
    return 0;
}

int CMediaObject::MsToHMS(int ms, int* h, int* m, int* s, int* rest)
{
    if (ms < 0) {
        return -1;
    }
    int seconds = ms / 1000;
    int minutes = seconds / 60;
    *rest = ms % 1000;
    *s = seconds % 60;
    *m = minutes % 60;
    *h = minutes / 60;
    return 0;
}

int CMediaObject::HMSToMs(int* ms, int h, int m, int s, int rest)
{
    if (h < 0 || m < 0 || s < 0 || rest < 0) {
        return -1;
    }
    // 32-bit arithmetic as the callers expect; unsigned so that an overflow wraps instead of being undefined.
    uint32_t total = ((static_cast<uint32_t>(h) * 60 + static_cast<uint32_t>(m)) * 60 +
                      static_cast<uint32_t>(s)) * 1000 + static_cast<uint32_t>(rest);
    *ms = static_cast<int>(total);
    return 0;
}

int LevelToVolume(int level)
{
    level = std::clamp(level, 0, 255);
    return -static_cast<int>(std::pow(10.0, (255 - level) * 4 / 255.0));
}

void FadeOutWith(int from, void (*set)(void*, int), void* context)
{
    constexpr int kFadeMs = 25;
    int step = (from + 10000) / kFadeMs;
    uint32_t start = platform::GetTicks();
    for (int t = 0; t < kFadeMs; t = static_cast<int>(platform::GetTicks() - start)) {
        set(context, from - t * step);
    }
    set(context, -10000);
}
