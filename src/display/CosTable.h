#pragma once
// One full period of the cosine in 16.16 fixed point, used by the wave and
// whorl transitions: gCosTable[i] = (int32_t)(cos(i * pi / 256) * 65536),
// computed in double precision and truncated toward zero.
#include <cstdint>

extern int32_t gCosTable[512];

// Fills gCosTable on the first call (later calls return at once) and returns
// owner unchanged.
void* BuildCosTable(void* owner);
