#include "game/ScreenQuake.h"

#include <cstdlib>
#include <ctime>

#include "frame/CRand.h"

int CScreenQuake::StartQuake(int32_t axis, int32_t duration, int32_t envelope, int32_t amplitude)
{
    crt::srand(static_cast<uint32_t>(std::time(nullptr)));
    amplitude_ = amplitude;
    axis_ = axis;
    envelope_ = envelope;
    // The duration comes in the scenario's 1/30 units of a frame at 30 fps.
    length1_ = duration / 30;
    remaining1_ = length1_;
    remaining2_ = 0;
    state_ = kQuake;
    return 0;
}

int CScreenQuake::StartFlash(int32_t color, int32_t rising, int32_t falling)
{
    state_ = kFlash;
    length1_ = remaining1_ = rising;
    length2_ = remaining2_ = falling;
    flashColor_ = static_cast<uint32_t>(color) | 0xFF000000u;
    return 0;
}

double CScreenQuake::EnvelopeFactor(int32_t envelope, int32_t remaining, int32_t length)
{
    if (length <= 0)
        return 1.0;  // a zero length never reaches here with remaining >= 1; keep it safe anyway
    const double d = length;
    const double t = remaining;
    switch (envelope) {
    case 1: return (d - t) / d;
    case 2: return t / d;
    case 3: return std::abs(d - 2 * t) / d;
    case 4: return 1.0 - std::abs(d - 2 * t) / d;
    default: return 1.0;
    }
}

int32_t CScreenQuake::RawOffset(int32_t amplitude)
{
    // rand() % (2A) has no range for A < 1 (and 2A overflows near INT_MAX):
    // such a quake simply does not move the picture.
    if (amplitude < 1 || amplitude > 0x3FFFFFFF)
        return 0;
    return crt::rand() % (2 * amplitude) - amplitude;
}

int CScreenQuake::GetQuakeOffset(int32_t* x, int32_t* y) const
{
    *x = 0;
    *y = 0;
    if (remaining1_ < 1)
        return 0;
    const double e = EnvelopeFactor(envelope_, remaining1_, length1_);
    int32_t rx = 0, ry = 0;
    if (axis_ == 1) {
        ry = RawOffset(amplitude_);
    } else if (axis_ == 2) {
        rx = RawOffset(amplitude_);
    } else {
        rx = RawOffset(amplitude_);
        ry = RawOffset(amplitude_);
    }
    *x = static_cast<int32_t>(rx * e);
    *y = static_cast<int32_t>(ry * e);
    return 0;
}

int CScreenQuake::GetFlashColor(uint32_t* color) const
{
    double f = 0.0;
    if (remaining1_ > 0 && length1_ > 0)
        f = 1.0 - static_cast<double>(remaining1_) / length1_;
    else if (remaining2_ > 0 && length2_ > 0)
        f = static_cast<double>(remaining2_) / length2_;
    const auto channel = [&](int shift) {
        return static_cast<uint32_t>(((flashColor_ >> shift) & 0xFFu) * f) & 0xFFu;
    };
    *color = 0xFF000000u | channel(16) << 16 | channel(8) << 8 | channel(0);
    return 0;
}

int32_t CScreenQuake::Step()
{
    switch (state_) {
    case kQuake:
        if (remaining1_ < 1)
            state_ = kRest;
        --remaining1_;
        break;
    case kFlash:
        if (remaining1_ > 0)
            --remaining1_;
        else if (remaining2_ > 0)
            --remaining2_;
        else
            state_ = kRest;
        break;
    default:
        break;
    }
    return state_;
}
