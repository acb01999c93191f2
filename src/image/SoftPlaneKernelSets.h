#pragma once
// The concrete software-plane implementations, one per kernel set. They
// differ only in their pixel kernels: A (processor classes 1 and 2) in plain
// 32-bit integer code, B (class 3) and C (class 4, the same table) in SIMD.
#include "image/SoftPlaneImpl.h"

class CSoftPlaneImplA : public CSoftPlaneImpl {
public:
    int RunKernel(SoftKernel kernel, bool mirror, CSoftPlaneImpl* src, int x, int y, Rates dstRate, Rates srcRate,
                  const Rect* srcRect, const Size* dstSize, const Rect* clip) override;
    int AddColor(uint32_t colour, const Rect* rect) override;
    int SubColor(uint32_t colour, const Rect* rect) override;
};

class CSoftPlaneImplB : public CSoftPlaneImpl {
public:
    int RunKernel(SoftKernel kernel, bool mirror, CSoftPlaneImpl* src, int x, int y, Rates dstRate, Rates srcRate,
                  const Rect* srcRect, const Size* dstSize, const Rect* clip) override;
    int AddColor(uint32_t colour, const Rect* rect) override;
    int SubColor(uint32_t colour, const Rect* rect) override;
};

class CSoftPlaneImplC : public CSoftPlaneImplB {};
