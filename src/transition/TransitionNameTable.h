#pragma once
// The 75 transitions by effect number, the number the compiled scenarios use.
// Callers index it without a range test and must pass 0 to 74.
#include "transition/TransitionFunc.h"

struct TransitionEntry {
    const char* name;
    TransitionFunc func;
};

constexpr int kTransitionCount = 75;

extern const TransitionEntry TransitionNameTable[kTransitionCount];
