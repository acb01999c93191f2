#pragma once
// Shared pieces of the raster operations: the pair rules, the kernel choice
// and the table-driven blend steps.
#include <cstdint>

#include "display/BlendTables.h"
#include "display/PixelFormat.h"

namespace raster {

// Same-format pairs that have kernels in the blend, add and subtract families.
constexpr bool HasSameFormatKernel(int code)
{
    return (code >= pixfmt::k565 && code <= pixfmt::kRGBX32) || pixfmt::IsAlphaFormat(code);
}

// Calls f(D{}, S{}) with the traits of a same-format pair (D == S) or of a
// cross pair (screen <- its alpha format); false for any other pair.
template <class F>
bool VisitPair(int dst, int src, F&& f)
{
    using namespace pixfmt;
    if (dst == src) {
        if (!HasSameFormatKernel(dst)) {
            return false;
        }
        return VisitFormat(dst, [&](auto d) {
            if constexpr (decltype(d)::kBytes != 1) {
                f(d, d);
            }
        });
    }
    switch (dst * 16 + src) {
    case k565 * 16 + k565A4: f(Fmt565{}, Fmt565A4{}); return true;
    case k555 * 16 + k555A4: f(Fmt555{}, Fmt555A4{}); return true;
    case kBGR24 * 16 + kBGRA32: f(FmtBGR24{}, FmtBGRA32{}); return true;
    case kBGRX32 * 16 + kBGRA32: f(FmtBGRX32{}, FmtBGRA32{}); return true;
    case kRGB24 * 16 + kRGBA32: f(FmtRGB24{}, FmtRGBA32{}); return true;
    case kRGBX32 * 16 + kRGBA32: f(FmtRGBX32{}, FmtRGBA32{}); return true;
    default: return false;
    }
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
