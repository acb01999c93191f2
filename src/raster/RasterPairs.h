#pragma once
// Shared pieces of the raster operations: the pair rules and the
// table-driven blend steps (each operation's kernel choice is its PairTable).
#include <cstdint>

#include "display/BlendTables.h"
#include "display/PixelFormat.h"

namespace raster {

// Same-format pairs that have kernels in the blend, add and subtract families.
constexpr bool HasSameFormatKernel(int code)
{
    return (code >= pixfmt::k565 && code <= pixfmt::kRGBX32) || pixfmt::IsAlphaFormat(code);
}

// The level table of a 16-bit colour word format.
template <class F>
const uint16_t* LevelTable()
{
    if constexpr (F::kCode == pixfmt::k565 || F::kCode == pixfmt::k565A4) return gLevelTable565;
    else return gLevelTable555;
}

// table[L][s] + table[15 - L][d]: the two terms never carry between channels.
inline uint16_t MixLevel(const uint16_t* table, int level, uint32_t s, uint32_t d)
{
    return static_cast<uint16_t>(table[(level << 16) + (s & 0xFFFF)] + table[((15 - level) << 16) + (d & 0xFFFF)]);
}

// Bytes 0-2: MUL[w][s] + INV[w][d].
inline void MixBytes(uint8_t* d, const uint8_t* s, int w)
{
    const uint8_t* mul = gMulTable[w];
    const uint8_t* inv = gInvMulTable[w];
    d[0] = static_cast<uint8_t>(mul[s[0]] + inv[d[0]]);
    d[1] = static_cast<uint8_t>(mul[s[1]] + inv[d[1]]);
    d[2] = static_cast<uint8_t>(mul[s[2]] + inv[d[2]]);
}

// The 4-bit alpha level of a format 10 / 11 pixel. Masked: a level above 15
// would index past the sixteen levels of the tables.
inline int AlphaLevel(const uint8_t* p) { return p[2] & 15; }

}  // namespace raster
