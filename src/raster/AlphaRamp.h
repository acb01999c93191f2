#pragma once
// The 256-entry ramp that turns a source pixel's 8-bit key into an alpha.
#include <cstdint>

// Fills table (256 bytes) and returns it: v0 up to and including index i0, a
// straight line from v0 towards v1 between i0 and i1 (each entry truncated
// toward zero and clamped to 0..255), v1 from index i1 on. The end values
// are stored by their low 8 bits. Any four ints are accepted: the line is
// worked wide enough that no argument can overflow it.
uint8_t* BuildAlphaRamp(uint8_t* table, int i0, int i1, int v0, int v1);
