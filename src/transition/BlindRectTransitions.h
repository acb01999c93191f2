#pragma once
// Blind and rectangle transitions (effects 28-40): straight and slanted blinds
// of one-pixel strips, and a square growing in every cell of a grid. Pure
// functions of level and source size. Each is a TransitionFunc.
#include "transition/TransitionFunc.h"

int RectBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip);
int RectBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip);
int RectBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip);
int BlindBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int BlindBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int BlindBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int BlindBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int BlindBlt5(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int BlindBlt6(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int BlindBlt7(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int BlindBlt8(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int BlindBlt9(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int BlindBlt10(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip);
