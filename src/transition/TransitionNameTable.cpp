#include "transition/TransitionNameTable.h"

#include "transition/BlindRectTransitions.h"
#include "transition/CircleWhorlWaveTransitions.h"
#include "transition/CutInTransitions.h"
#include "transition/DiffusionTransitions.h"
#include "transition/SlitCurtainTransitions.h"

// "WaveBlt1" and "BlendBlt1" are one effect under two names.
const TransitionEntry TransitionNameTable[kTransitionCount] = {
    {"WaveBlt1", BlendBlt1},  // 0
    {"WaveBlt2", WaveBlt2},  // 1
    {"WaveBlt3", WaveBlt3},  // 2
    {"WaveBlt4", WaveBlt4},  // 3
    {"CircleBlt1", CircleBlt1},  // 4
    {"CircleBlt2", CircleBlt2},  // 5
    {"CircleBlt3", CircleBlt3},  // 6
    {"CircleBlt4", CircleBlt4},  // 7
    {"CircleBlt5", CircleBlt5},  // 8
    {"CutInBlt1", CutInBlt1},  // 9
    {"CutInBlt2", CutInBlt2},  // 10
    {"CutInBlt3", CutInBlt3},  // 11
    {"CutInBlt4", CutInBlt4},  // 12
    {"CutInBlt5", CutInBlt5},  // 13
    {"CutInBlt6", CutInBlt6},  // 14
    {"CutInBlt7", CutInBlt7},  // 15
    {"CutInBlt8", CutInBlt8},  // 16
    {"CutInBlt9", CutInBlt9},  // 17
    {"CutInBlt10", CutInBlt10},  // 18
    {"CutInBlt11", CutInBlt11},  // 19
    {"CutInBlt12", CutInBlt12},  // 20
    {"CutInBlt13", CutInBlt13},  // 21
    {"CutInBlt14", CutInBlt14},  // 22
    {"CutInBlt15", CutInBlt15},  // 23
    {"CutInBlt16", CutInBlt16},  // 24
    {"CutInBlt17", CutInBlt17},  // 25
    {"CutInBlt18", CutInBlt18},  // 26
    {"CutInBlt19", CutInBlt19},  // 27
    {"RectBlt1", RectBlt1},  // 28
    {"RectBlt2", RectBlt2},  // 29
    {"RectBlt3", RectBlt3},  // 30
    {"BlindBlt1", BlindBlt1},  // 31
    {"BlindBlt2", BlindBlt2},  // 32
    {"BlindBlt3", BlindBlt3},  // 33
    {"BlindBlt4", BlindBlt4},  // 34
    {"BlindBlt5", BlindBlt5},  // 35
    {"BlindBlt6", BlindBlt6},  // 36
    {"BlindBlt7", BlindBlt7},  // 37
    {"BlindBlt8", BlindBlt8},  // 38
    {"BlindBlt9", BlindBlt9},  // 39
    {"BlindBlt10", BlindBlt10},  // 40
    {"WhorlBlt1", WhorlBlt1},  // 41
    {"WhorlBlt2", WhorlBlt2},  // 42
    {"WhorlBlt3", WhorlBlt3},  // 43
    {"WhorlBlt4", WhorlBlt4},  // 44
    {"WhorlBlt5", WhorlBlt5},  // 45
    {"WhorlBlt6", WhorlBlt6},  // 46
    {"WhorlBlt7", WhorlBlt7},  // 47
    {"WhorlBlt8", WhorlBlt8},  // 48
    {"BlendBlt1", BlendBlt1},  // 49
    {"DiagonalDiffusionBlt", DiagonalDiffusionBlt},  // 50
    {"DiffusionCongeriesBlt1", DiffusionCongeriesBlt1},  // 51
    {"DiffusionCongeriesBlt2", DiffusionCongeriesBlt2},  // 52
    {"DiffusionCongeriesBlt3", DiffusionCongeriesBlt3},  // 53
    {"SquashBlt", SquashBlt},  // 54
    {"ForwardRollBlt", ForwardRollBlt},  // 55
    {"RotationBlt1", RotationBlt1},  // 56
    {"RotationBlt2", RotationBlt2},  // 57
    {"RotationBlt3", RotationBlt3},  // 58
    {"EnterUpBlt1", EnterUpBlt1},  // 59
    {"EnterUpBlt2", EnterUpBlt2},  // 60
    {"CellGatherBlt1", CellGatherBlt1},  // 61
    {"CellGatherBlt2", CellGatherBlt2},  // 62
    {"SlitCurtainBlt1", SlitCurtainBlt1},  // 63
    {"SlitCurtainBlt2", SlitCurtainBlt2},  // 64
    {"SlitCurtainBlt3", SlitCurtainBlt3},  // 65
    {"SlitCurtainBlt4", SlitCurtainBlt4},  // 66
    {"SlitCurtainBlt5", SlitCurtainBlt5},  // 67
    {"SlitCurtainBlt6", SlitCurtainBlt6},  // 68
    {"SlitCurtainBlt7", SlitCurtainBlt7},  // 69
    {"SlitCurtainBlt8", SlitCurtainBlt8},  // 70
    {"TensileBlt1", TensileBlt1},  // 71
    {"TensileBlt2", TensileBlt2},  // 72
    {"TensileBlt3", TensileBlt3},  // 73
    {"TensileBlt4", TensileBlt4},  // 74
};
