#pragma once
// Runs one transition on recording planes (tests/support) and returns its calls.
#include <vector>

#include "support/RecordingPlane.h"
#include "transition/TransitionNameTable.h"

// Runs transition f once, 1:1 at (x, y), mode 0, and returns its calls.
inline std::vector<PlaneCall> Record(TransitionFunc f, int srcW, int srcH, int level, int x = 0, int y = 0,
                                     uint32_t mode = 0, int dstW = 800, int dstH = 600)
{
    RecordingPlane dst(dstW, dstH);
    RecordingPlane src(srcW, srcH);
    f(&dst, &src, x, y, level, mode, 255, nullptr);
    return dst.calls;
}
