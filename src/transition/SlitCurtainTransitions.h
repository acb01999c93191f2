#pragma once
// Slit-curtain and tensile transitions (effects 63-74). The slit curtains open
// the picture as strips of 16 or 8 pixels, each opening one unit behind the
// previous one; the picture gallery calls SlitCurtainBlt1 directly for its
// thumbnails. The tensile wipes reveal the picture from one edge and stretch
// the next source column (row) out to the destination plane's edge.
// Each is a TransitionFunc.
#include "transition/TransitionFunc.h"

int SlitCurtainBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip);
int SlitCurtainBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip);
int SlitCurtainBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip);
int SlitCurtainBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip);
int SlitCurtainBlt5(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip);
int SlitCurtainBlt6(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip);
int SlitCurtainBlt7(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip);
int SlitCurtainBlt8(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                    uint32_t modeArg, const Rect* clip);
int TensileBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip);
int TensileBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip);
int TensileBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip);
int TensileBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip);
