#pragma once
// The shared blend tables of the raster operations. Built once (the display
// manager builds them when it starts; planes make sure on creation), read-only
// afterwards.
//
//   gMulTable[a][x]     = floor(a * x / 255)
//   gInvMulTable[a][x]  = floor(x * (255 - a) / 255)
//   gLevelTable565[L * 65536 + p]: 5-6-5 pixel p, each channel * L / 15, truncated
//   gLevelTable555[L * 65536 + p]: the same for 5-5-5; bit 15 of p ignored, of the entry 0
//
// Each entry is truncated on its own, so table[L][s] + table[15 - L][d] never
// carries between channels and gMulTable[a][s] + gInvMulTable[a][d] <= 255.
#include <cstdint>

extern uint8_t gMulTable[256][256];
extern uint8_t gInvMulTable[256][256];
extern uint16_t gLevelTable565[16 * 65536];
extern uint16_t gLevelTable555[16 * 65536];

// Fills the four tables; later calls return at once. Thread-safe.
void BuildBlendTables();
