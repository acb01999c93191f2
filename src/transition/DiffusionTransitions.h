#pragma once
// Diffusion and motion transitions (effects 50-62): every block of a grid is
// drawn on every frame, displaced by an offset that shrinks as the level
// rises. They take their variety from gEffectRandomTable and their angles from
// gCosTable, so each is an exact function of level and source size. The first
// call makes the shared tables (and so reseeds this thread's rand()).
// Each is a TransitionFunc.
#include "transition/TransitionFunc.h"

int DiagonalDiffusionBlt(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                         uint32_t modeArg, const Rect* clip);
int DiffusionCongeriesBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                           uint32_t modeArg, const Rect* clip);
int DiffusionCongeriesBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                           uint32_t modeArg, const Rect* clip);
int DiffusionCongeriesBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                           uint32_t modeArg, const Rect* clip);
int SquashBlt(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
              uint32_t modeArg, const Rect* clip);
int ForwardRollBlt(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                   uint32_t modeArg, const Rect* clip);
int RotationBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                 uint32_t modeArg, const Rect* clip);
int RotationBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                 uint32_t modeArg, const Rect* clip);
int RotationBlt3(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                 uint32_t modeArg, const Rect* clip);
int EnterUpBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip);
int EnterUpBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                uint32_t modeArg, const Rect* clip);
int CellGatherBlt1(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                   uint32_t modeArg, const Rect* clip);
int CellGatherBlt2(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level, uint32_t mode,
                   uint32_t modeArg, const Rect* clip);
