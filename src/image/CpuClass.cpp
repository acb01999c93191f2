#include "image/CpuClass.h"

namespace {

int gCpuClass = 0;  // 0 = not yet detected; planes are used from the game thread only
int gForcedCpuClass = 0;

int DetectCpuClass()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    // The "MMX" kernels are written with SSE2 intrinsics, so SSE2 is what
    // stands for MMX here.
    if (!__builtin_cpu_supports("sse2")) {
        return 2;
    }
    return __builtin_cpu_supports("cmov") ? 4 : 3;
#else
    return 2;
#endif
}

}  // namespace

int GetCpuClass()
{
    if (gForcedCpuClass != 0) {
        return gForcedCpuClass;
    }
    if (gCpuClass == 0) {
        gCpuClass = DetectCpuClass();
    }
    return gCpuClass;
}

void ForceCpuClassForTesting(int cpuClass)
{
    gForcedCpuClass = (cpuClass >= 1 && cpuClass <= 4) ? cpuClass : 0;
}
