#pragma once
// The per-pixel step of the saturating add and subtract blits (plain, keyed,
// with a factor, keyed with a factor). The source pixel is first brought to
// the destination's format and scale, then added or subtracted with the
// saturating primitives. Every scaling truncates on its own, in the order
// written: factor first, then the source's own alpha.
#include <cstdint>

#include "display/BlendTables.h"
#include "display/PixelFormat.h"
#include "raster/RasterPairs.h"
#include "raster/SaturatingArithmetic.h"

namespace raster {

// Faded: scale by the factor f (0..254). Without it the same-format pairs add
// the source whole and the cross pairs scale by the source's alpha only.
template <class D, class S, bool Add, bool Faded>
inline void AddSubStep(uint8_t* d, const uint8_t* s, int f)
{
    constexpr bool k565 = D::kCode == pixfmt::k565 || D::kCode == pixfmt::k565A4;
    if constexpr (D::kCode == S::kCode) {
        if constexpr (D::kBytes == 2) {
            // 16-bit screen formats: sixteen factor levels through the level table.
            uint16_t v = pixfmt::Load16(s);
            if constexpr (Faded) v = k565 ? ScaleByLevel565(v, f >> 4) : ScaleByLevel555(v, f >> 4);
            const uint16_t dw = pixfmt::Load16(d);
            if constexpr (k565) pixfmt::Store16(d, Add ? AddPacked565(dw, v) : SubPacked565(dw, v));
            else pixfmt::Store16(d, Add ? AddPacked555(dw, v) : SubPacked555(dw, v));
        } else if constexpr (D::kAlpha == 4) {
            // 10 <- 10, 11 <- 11: colour words at 8-bit scale; the level byte stays.
            uint16_t v = pixfmt::Load16(s);
            if constexpr (Faded) v = k565 ? ScaleWord565ByFactor(v, f) : ScaleWord555ByFactor(v, f);
            const uint16_t dw = pixfmt::Load16(d);
            if constexpr (k565) pixfmt::Store16(d, Add ? AddClamp565(dw, v) : SubClamp565(dw, v));
            else pixfmt::Store16(d, Add ? AddClamp555(dw, v) : SubClamp555(dw, v));
        } else if constexpr (D::kAlpha == 8) {
            // 12 <- 12, 13 <- 13: the source's alpha plays no part; alpha := 255.
            uint8_t v[4] = {s[0], s[1], s[2], s[3]};
            if constexpr (Faded) ScaleByFactor32Opaque(v, f);
            if constexpr (Add) AddClamp32(d, v);
            else SubClamp32(d, v);
        } else {
            uint8_t v[4] = {s[0], s[1], s[2], D::kBytes == 4 ? s[3] : uint8_t(0)};
            // The scaled 32-bit value has byte 3 = 0, so the destination's stays.
            if constexpr (Faded) ScaleByFactor32(v, f);
            if constexpr (D::kBytes == 3) {
                const uint32_t sv = pixfmt::Load24(v);
                if constexpr (Add) AddSaturate24(d, sv);
                else SubSaturate24(d, sv);
            } else {
                const uint32_t sv = pixfmt::Load32(v);
                const uint32_t dv = pixfmt::Load32(d);
                pixfmt::Store32(d, Add ? AddPacked32(dv, sv) : SubPacked32(dv, sv));
            }
        }
    } else if constexpr (D::kBytes == 2) {
        // 3 <- 10, 4 <- 11: the factor at 8-bit scale, then the alpha level.
        // Format 10 drops the level's lowest bit; format 11 uses all of it.
        uint16_t v = pixfmt::Load16(s);
        if constexpr (Faded) v = k565 ? ScaleWord565ByFactor(v, f) : ScaleWord555ByFactor(v, f);
        const uint16_t dw = pixfmt::Load16(d);
        if constexpr (k565) {
            v = ScaleByLevel565(v, AlphaLevel(s) & 14);
            pixfmt::Store16(d, Add ? AddPacked565(dw, v) : SubPacked565(dw, v));
        } else {
            v = ScaleByLevel555(v, AlphaLevel(s));
            pixfmt::Store16(d, Add ? AddPacked555(dw, v) : SubPacked555(dw, v));
        }
    } else {
        // 5 <- 12, 7 <- 12, 6 <- 13, 8 <- 13: byte k onto byte k, scaled by the
        // factor and then by the source's alpha byte; byte 3 of the value is 0.
        uint8_t v[4] = {s[0], s[1], s[2], 0};
        if constexpr (Faded) ScaleByFactor24(v, f);
        ScaleByFactor24(v, s[3]);
        if constexpr (D::kBytes == 3) {
            if constexpr (Add) AddSaturate24(d, pixfmt::Load24(v));
            else SubSaturate24(d, pixfmt::Load24(v));
        } else {
            const uint32_t dv = pixfmt::Load32(d);
            const uint32_t sv = pixfmt::Load32(v);
            pixfmt::Store32(d, Add ? AddPacked32(dv, sv) : SubPacked32(dv, sv));
        }
    }
}

}  // namespace raster
