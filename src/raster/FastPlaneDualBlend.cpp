// Two-factor blends: CFastPlane::DualBlendBltFast and the keyed
// CFastPlane::DualBlendBlt. d = s * a + d * b, each weight through the
// tables and each term truncated on its own; on the alpha formats each
// weight is also scaled by its own pixel's alpha.
//
// Callers keep a + b <= 255, where no channel can pass its maximum. A larger
// sum saturates each channel at its maximum (the saturating add of the two
// terms), so it never wraps a channel or carries into its neighbour.
#include <cstdint>

#include "display/FastPlane.h"
#include "display/PlaneLock.h"
#include "raster/BlendFamilyPairs.h"
#include "raster/RasterPairs.h"
#include "raster/SaturatingArithmetic.h"

namespace {

using pixfmt::Load16;
using pixfmt::Store16;

// Bytes 0-2: min(MUL[ws][s] + MUL[wd][d], 255).
inline void DualBytes(uint8_t* d, const uint8_t* s, int ws, int wd)
{
    const uint8_t* ms = gMulTable[ws];
    const uint8_t* md = gMulTable[wd];
    for (int i = 0; i < 3; ++i) {
        const int v = ms[s[i]] + md[d[i]];
        d[i] = static_cast<uint8_t>(v > 255 ? 255 : v);
    }
}

// One channel at 8-bit scale, cut back to the channel's bits by mask.
inline int DualChannel(int ws, int wd, int s, int d, int mask)
{
    const int v = gMulTable[ws][s] + gMulTable[wd][d];
    return (v > 255 ? 255 : v) & mask;
}

// Two colour words at levels ls and ld: the sum of two level-table terms,
// saturated per channel (level-table entries of 5-5-5 have bit 15 clear, so
// the result has too).
template <bool Is565>
inline uint16_t DualLevels(uint16_t s, uint16_t d, int ls, int ld)
{
    const uint16_t* table = Is565 ? gLevelTable565 : gLevelTable555;
    const uint16_t ts = table[(ls << 16) + s];
    const uint16_t td = table[(ld << 16) + d];
    return Is565 ? raster::AddPacked565(td, ts) : raster::AddPacked555(td, ts);
}

template <class D, class S>
inline void DualStep(uint8_t* d, const uint8_t* s, int a, int b)
{
    constexpr bool k565 = D::kCode == pixfmt::k565 || D::kCode == pixfmt::k565A4;
    if constexpr (D::kCode == S::kCode) {
        if constexpr (D::kBytes == 2) {
            Store16(d, DualLevels<k565>(Load16(s), Load16(d), a >> 4, b >> 4));
        } else if constexpr (D::kAlpha == 0) {
            DualBytes(d, s, a, b);
            if constexpr (D::kBytes == 4) d[3] = 0;
        } else if constexpr (D::kAlpha == 8) {
            DualBytes(d, s, gMulTable[s[3]][a], gMulTable[d[3]][b]);
            d[3] = 255;
        } else {
            // 10 <- 10, 11 <- 11: channels at 8-bit scale; the level byte stays.
            const int ws = gMulTable[raster::AlphaLevel(s) * 16][a];
            const int wd = gMulTable[raster::AlphaLevel(d) * 16][b];
            const uint16_t sw = Load16(s), dw = Load16(d);
            if constexpr (k565) {
                const int r = DualChannel(ws, wd, (sw >> 8) & 0xF8, (dw >> 8) & 0xF8, 0xF8);
                const int g = DualChannel(ws, wd, (sw >> 3) & 0xFC, (dw >> 3) & 0xFC, 0xFC);
                const int bl = DualChannel(ws, wd, (sw << 3) & 0xFF, (dw << 3) & 0xFF, 0xFF);
                Store16(d, static_cast<uint16_t>((r << 8) | (g << 3) | (bl >> 3)));
            } else {
                const int r = DualChannel(ws, wd, (sw >> 7) & 0xF8, (dw >> 7) & 0xF8, 0xF8);
                const int g = DualChannel(ws, wd, (sw >> 2) & 0xF8, (dw >> 2) & 0xF8, 0xF8);
                const int bl = DualChannel(ws, wd, (sw << 3) & 0xFF, (dw << 3) & 0xFF, 0xFF);
                Store16(d, static_cast<uint16_t>((r << 7) | (g << 2) | (bl >> 3)));
            }
        }
    } else if constexpr (D::kBytes == 2) {
        // 3 <- 10, 4 <- 11: levels from products on the 0..255 scale.
        const int es = gMulTable[a][raster::AlphaLevel(s) * 16] >> 4;
        const int ed = gMulTable[b][240] >> 4;
        Store16(d, DualLevels<k565>(Load16(s), Load16(d), es, ed));
    } else {
        // 5 <- 12, 7 <- 12, 6 <- 13, 8 <- 13: the destination has no alpha.
        DualBytes(d, s, gMulTable[s[3]][a], b);
        if constexpr (D::kBytes == 4) d[3] = 0;
    }
}

template <class D, class S, bool Keyed>
int DualPlanes(CFastPlane& dst, CFastPlane& src, int x, int y, int sf, int df, const Rect* srcRect,
               const Size* dstSize, const Rect* clip)
{
    const int a = sf & 0xFF, b = df & 0xFF;
    if constexpr (Keyed) {
        const uint32_t key = src.GetColorKey();
        WalkPlanes<D::kBytes, S::kBytes>(dst, src, x, y, srcRect, dstSize, clip,
                                         [a, b, key](uint8_t* d, const uint8_t* s) {
                                             if (!S::IsKey(S::Load(s), key)) DualStep<D, S>(d, s, a, b);
                                         },
                                         nullptr);
    } else {
        WalkPlanes<D::kBytes, S::kBytes>(dst, src, x, y, srcRect, dstSize, clip,
                                         [a, b](uint8_t* d, const uint8_t* s) { DualStep<D, S>(d, s, a, b); },
                                         nullptr);
    }
    return kPlaneDone;
}

template <int Result>
int Answer(CFastPlane&, CFastPlane&, int, int, int, int, const Rect*, const Size*, const Rect*)
{
    return Result;
}

using DualFn = int (*)(CFastPlane&, CFastPlane&, int, int, int, int, const Rect*, const Size*, const Rect*);

template <bool Keyed>
constexpr PairTable<DualFn> kDualKernels(&Answer<kPlaneFormatPair>, [](auto d, auto s, DualFn* slot) {
    raster::FillBlendFamilySlot<decltype(d), decltype(s)>(
        slot, []<class D, class S>() { return &DualPlanes<D, S, Keyed>; }, &Answer<kPlaneDone>);
});

}  // namespace

int CFastPlane::DualBlendBlt(CFastPlane* src, int x, int y, int srcFactor, int dstFactor, const Rect* srcRect,
                             const Size* dstSize, const Rect* clip)
{
    return DrawPair(kDualKernels<true>, this, src, x, y, srcFactor, dstFactor, srcRect, dstSize, clip);
}

int CFastPlane::DualBlendBltFast(CFastPlane* src, int x, int y, int srcFactor, int dstFactor, const Rect* srcRect,
                                 const Size* dstSize, const Rect* clip)
{
    return DrawPair(kDualKernels<false>, this, src, x, y, srcFactor, dstFactor, srcRect, dstSize, clip);
}
