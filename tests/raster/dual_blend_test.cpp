// Two-factor blends (DualBlendBltFast, keyed DualBlendBlt) against a plain
// reference from the formulas: floor(ws * s / 255) + floor(wd * d / 255) per
// byte, floor(v * L / 15) per 16-bit channel, each channel limited to its
// maximum (which only factors adding up to more than 255 reach).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "display/BlendTables.h"
#include "display/FastPlane.h"
#include "raster/RasterTestSupport.h"

using namespace rastertest;

namespace {

uint16_t Levels16(uint32_t s, uint32_t d, int ls, int ld, bool is565)
{
    Channels cs = Split16(s, is565), cd = Split16(d, is565);
    const int gmax = is565 ? 63 : 31;
    Channels out{std::min(cs.r * ls / 15 + cd.r * ld / 15, 31), std::min(cs.g * ls / 15 + cd.g * ld / 15, gmax),
                 std::min(cs.b * ls / 15 + cd.b * ld / 15, 31)};
    return Join16(out, is565);
}

void BytesRef(uint8_t* d, const uint8_t* s, int ws, int wd)
{
    for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(std::min(Mul(ws, s[i]) + Mul(wd, d[i]), 255));
}

void DualRef(int df, int sf, uint8_t* d, const uint8_t* s, int a, int b)
{
    if (df == sf) {
        switch (df) {
        case 3: case 4: Put16(d, Levels16(Get16(s), Get16(d), a / 16, b / 16, df == 3)); return;
        case 5: case 6: BytesRef(d, s, a, b); return;
        case 7: case 8: BytesRef(d, s, a, b); d[3] = 0; return;
        case 12: case 13: BytesRef(d, s, Mul(s[3], a), Mul(d[3], b)); d[3] = 255; return;
        default: {
            const bool is565 = df == 10;
            const int ws = Mul((s[2] & 15) * 16, a), wd = Mul((d[2] & 15) * 16, b);
            Channels cs = Split16(Get16(s), is565), cd = Split16(Get16(d), is565);
            auto mix = [&](int sv, int dv, int bits) {
                const int shift = 8 - bits;
                return std::min(Mul(ws, sv << shift) + Mul(wd, dv << shift), 255) >> shift;
            };
            Put16(d, Join16({mix(cs.r, cd.r, 5), mix(cs.g, cd.g, is565 ? 6 : 5), mix(cs.b, cd.b, 5)}, is565));
            return;
        }
        }
    }
    if (df == 3 || df == 4) {
        Put16(d, Levels16(Get16(s), Get16(d), Mul(a, (s[2] & 15) * 16) / 16, Mul(b, 240) / 16, df == 3));
        return;
    }
    BytesRef(d, s, Mul(s[3], a), b);
    if (df == 7 || df == 8) d[3] = 0;
}

TEST(DualBlendBlt, every_pair_matches_the_reference_plain_and_keyed)
{
    std::mt19937 rng(104);
    for (auto [df, sf] : AcceptedPairs()) {
        CFastPlane dst, src;
        ASSERT_EQ(dst.CreateSurface(37, 21, df), 0);
        ASSERT_EQ(src.CreateSurface(29, 15, sf), 0);
        for (int n = 0; n < 20; ++n) {
            FillRandom(dst, rng);
            FillRandom(src, rng);
            const int kx = static_cast<int>(rng() % 29), ky = static_cast<int>(rng() % 15);
            src.SetColorKeyByPos(kx, ky);
            const uint32_t key = src.GetColorKey();
            // Factors within a + b <= 255, some beyond (saturating), some beyond a byte.
            int a, b;
            switch (n) {
            case 0: a = 255; b = 0; break;
            case 1: a = 0; b = 255; break;
            case 2: a = 128; b = 127; break;
            case 3: a = 255; b = 255; break;
            case 4: a = 256 + 100; b = 512 + 100; break;
            default: a = static_cast<int>(rng() % 256); b = static_cast<int>(rng() % (n < 12 ? 256 - a : 256)); break;
            }
            BltCase c = n == 5 ? BltCase{} : RandomCase(rng, 37, 21, 29, 15);
            const std::string what = "dual blend " + std::to_string(df) + " <- " + std::to_string(sf) + " a " +
                                     std::to_string(a) + " b " + std::to_string(b);
            if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                    return d.DualBlendBltFast(&s, c.x, c.y, a, b, c.SrcRect(), c.DstSize(), c.Clip());
                }, [&](uint8_t* d, const uint8_t* s) { DualRef(df, sf, d, s, a & 255, b & 255); }, what)) return;
            if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                    return d.DualBlendBlt(&s, c.x, c.y, a, b, c.SrcRect(), c.DstSize(), c.Clip());
                }, [&](uint8_t* d, const uint8_t* s) { if (!KeyedRef(sf, s, key)) DualRef(df, sf, d, s, a & 255, b & 255); },
                "keyed " + what)) return;
        }
    }
}

TEST(DualBlendBlt, result_codes_of_every_pair)
{
    ForEveryFormatPair(AcceptedPairs(), "", [](CFastPlane& dst, CFastPlane& src, int df, int sf, bool accepted) {
        const int want = accepted || df == sf ? 0 : 2;
        EXPECT_EQ(dst.DualBlendBltFast(&src, 0, 0, 100, 100), want) << df << " <- " << sf << ": wrong result code";
        EXPECT_EQ(dst.DualBlendBlt(&src, 0, 0, 100, 100), want) << df << " <- " << sf << " (keyed): wrong result code";
    });
    CFastPlane dst, empty;
    ASSERT_EQ(dst.CreateSurface(4, 4, 7), 0);
    EXPECT_EQ(dst.DualBlendBltFast(&empty, 0, 0, 1, 1), 1) << "an unlockable source must answer 1";
    EXPECT_EQ(dst.DualBlendBlt(nullptr, 0, 0, 1, 1), 1) << "a null source must answer 1";
}

TEST(DualBlendBlt, worked_examples)
{
    CFastPlane dst, src;
    ASSERT_EQ(dst.CreateSurface(2, 1, 5), 0);
    ASSERT_EQ(src.CreateSurface(2, 1, 5), 0);
    std::memset(PixelAt(src, 1, 0), 255, 3);  // pixel 0 black over white, pixel 1 white over black
    std::memset(PixelAt(dst, 0, 0), 255, 3);
    ASSERT_EQ(dst.DualBlendBltFast(&src, 0, 0, 128, 127), 0);
    EXPECT_EQ(PixelAt(dst, 0, 0)[1], 127) << "black over white at 128 / 127 must give 127";
    EXPECT_EQ(PixelAt(dst, 1, 0)[1], 128) << "white over black at 128 / 127 must give 128";
    // Factors adding up past 255 saturate instead of wrapping.
    std::memset(PixelAt(dst, 0, 0), 200, 6);
    std::memset(PixelAt(src, 0, 0), 200, 6);
    ASSERT_EQ(dst.DualBlendBltFast(&src, 0, 0, 255, 255), 0);
    EXPECT_EQ(PixelAt(dst, 0, 0)[0], 255) << "200 + 200 must saturate at 255, not wrap to 144";
    CFastPlane d3, s3;
    ASSERT_EQ(d3.CreateSurface(1, 1, 3), 0);
    ASSERT_EQ(s3.CreateSurface(1, 1, 3), 0);
    Put16(PixelAt(d3, 0, 0), 0x001F);
    Put16(PixelAt(s3, 0, 0), 0x001F);
    ASSERT_EQ(d3.DualBlendBltFast(&s3, 0, 0, 255, 255), 0);
    EXPECT_EQ(Get16(PixelAt(d3, 0, 0)), 0x001F) << "blue 31 + 31 must saturate, not carry into green";
}

}  // namespace
