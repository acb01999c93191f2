#pragma once
// Circle, whorl, wave and blend transitions (effects 0-8 and 41-49). BlendBlt1
// serves both "WaveBlt1" and "BlendBlt1": one blend of the whole picture with
// the level as its factor, returning that blend's result (-1 for a mode of 4
// or more). Each is a TransitionFunc.
#include "transition/TransitionFunc.h"

// Step (0-15) at which each cell of a 4 x 4 group is drawn, row by row.
extern const int32_t gWhorlOrderInward[16];
extern const int32_t gWhorlOrderOutward[16];

int CircleBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip);
int CircleBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip);
int CircleBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip);
int CircleBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip);
int CircleBlt5(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
               uint32_t modeArg, const Rect* clip);
int WhorlBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int WhorlBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int WhorlBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int WhorlBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int WhorlBlt5(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int WhorlBlt6(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int WhorlBlt7(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int WhorlBlt8(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int WaveBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip);
int WaveBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip);
int WaveBlt4(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
             uint32_t modeArg, const Rect* clip);
int BlendBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
