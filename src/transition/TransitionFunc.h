#pragma once
// The shape every screen transition shares, so that one table of pointers
// serves all 75 of them.
//
//   dst     the plane that holds the old picture and receives the drawing
//   src     the new picture; only its size is asked and its pieces drawn
//   x, y    where the source's top-left corner lands on dst
//   level   below 1 draws nothing, 1-255 the partial effect, 256 or more the
//           whole source in one plane operation
//   mode    0 Blt, 1 BltColorKey, 2 AlphaBltLevel(modeArg), 3 BltAuto;
//           4 or more draws nothing
//   modeArg the factor of mode 2 (0-255), ignored by the other modes
//   clip    destination clip handed unchanged to every plane operation (null: none)
//
// Result: the plane operation's result on the one-operation path (level 256
// or more), otherwise 0 (BlendBlt1 answers its single blend's result).
#include <cstdint>

#include "frame/Rect.h"

class CPlaneBase;

using TransitionFunc = int (*)(CPlaneBase* dst, CPlaneBase* src, int32_t x, int32_t y, int32_t level,
                               uint32_t mode, uint32_t modeArg, const Rect* clip);

// The draw modes of the mode argument.
enum TransitionDrawMode : uint32_t {
    kDrawModeBlt = 0,
    kDrawModeColorKey = 1,
    kDrawModeAlphaLevel = 2,
    kDrawModeAuto = 3,
};
