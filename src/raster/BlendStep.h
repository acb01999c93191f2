#pragma once
// The per-pixel steps of the constant-alpha blends and of the faded alpha
// blit onto screen formats (which shares the cross-pair steps). a is the
// factor's low byte. Every product goes through the tables and every term is
// truncated on its own, exactly as written: a smoothed formula would give
// other pixels.
#include <cstdint>

#include "display/BlendTables.h"
#include "display/PixelFormat.h"
#include "raster/RasterPairs.h"

namespace raster {

// One 16-bit alpha-format colour channel pair mixed at weight w and cut back
// to the channel's bits (mask 0xF8, or 0xFC for 5-6-5 green).
inline int MixChannel(int w, int s, int d, int mask)
{
    return (gMulTable[w][s] + gInvMulTable[w][d]) & mask;
}

template <class D, class S>
inline void BlendStep(uint8_t* d, const uint8_t* s, int a)
{
    using namespace pixfmt;
    if constexpr (D::kCode == S::kCode) {
        if constexpr (D::kBytes == 2) {
            // 16-bit screen formats: one of 16 levels from the factor's top bits.
            Store16(d, MixLevel(LevelTable<D>(), a >> 4, Load16(s), Load16(d)));
        } else if constexpr (D::kAlpha == 0) {
            MixBytes(d, s, a);
            if constexpr (D::kBytes == 4) d[3] = 0;
        } else if constexpr (D::kAlpha == 8) {
            MixBytes(d, s, gMulTable[s[3]][a]);
            d[3] = 255;
        } else {
            // 10 <- 10, 11 <- 11: channels at 8-bit scale; only the colour word changes.
            const int w = gMulTable[AlphaLevel(s) * 16][a];
            const uint16_t sw = Load16(s), dw = Load16(d);
            if constexpr (D::kCode == k565A4) {
                int r = MixChannel(w, (sw >> 8) & 0xF8, (dw >> 8) & 0xF8, 0xF8);
                int g = MixChannel(w, (sw >> 3) & 0xFC, (dw >> 3) & 0xFC, 0xFC);
                int b = MixChannel(w, (sw << 3) & 0xF8, (dw << 3) & 0xF8, 0xF8);
                Store16(d, static_cast<uint16_t>((r << 8) | (g << 3) | (b >> 3)));
            } else {
                int r = MixChannel(w, (sw >> 7) & 0xF8, (dw >> 7) & 0xF8, 0xF8);
                int g = MixChannel(w, (sw >> 2) & 0xF8, (dw >> 2) & 0xF8, 0xF8);
                int b = MixChannel(w, (sw << 3) & 0xF8, (dw << 3) & 0xF8, 0xF8);
                Store16(d, static_cast<uint16_t>((r << 7) | (g << 2) | (b >> 3)));
            }
        }
    } else if constexpr (D::kBytes == 2) {
        // 3 <- 10, 4 <- 11: the source's level scales the factor, then 16 levels.
        const int level = gMulTable[a][AlphaLevel(s) * 16] >> 4;
        Store16(d, MixLevel(LevelTable<D>(), level, Load16(s), Load16(d)));
    } else {
        // 5 <- 12, 7 <- 12, 6 <- 13, 8 <- 13.
        MixBytes(d, s, gMulTable[s[3]][a]);
        if constexpr (D::kBytes == 4) d[3] = 0;
    }
}

}  // namespace raster
