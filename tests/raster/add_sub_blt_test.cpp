// Saturating add and subtract blits (plain, keyed, with a factor, keyed with
// a factor) against a plain reference written from the formulas: every
// channel min(d + s', max) or max(d - s', 0), s' the source brought to the
// destination's channels and scaled by floor(c * f / 255), floor(c * L / 15)
// and the source's own alpha, each truncated on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "display/BlendTables.h"
#include "display/FastPlane.h"
#include "raster/RasterTestSupport.h"

using namespace rastertest;

namespace {

int Sat(int d, int s, int max, bool add) { return add ? std::min(d + s, max) : std::max(d - s, 0); }

// Which form of the operation a test runs.
struct Op {
    bool add;
    bool keyed;
    bool faded;
    std::string Name() const
    {
        return std::string(add ? "AddColorBlt" : "SubColorBlt") + (faded ? (keyed ? "Fade" : "FastFade") : (keyed ? "" : "Fast"));
    }
    int Run(CFastPlane& d, CFastPlane* s, int x, int y, int f, const Rect* sr = nullptr, const Size* ds = nullptr,
            const Rect* cl = nullptr) const
    {
        if (add) {
            if (faded) return keyed ? d.AddColorBltFade(s, x, y, f, sr, ds, cl) : d.AddColorBltFastFade(s, x, y, f, sr, ds, cl);
            return keyed ? d.AddColorBlt(s, x, y, sr, ds, cl) : d.AddColorBltFast(s, x, y, sr, ds, cl);
        }
        if (faded) return keyed ? d.SubColorBltFade(s, x, y, f, sr, ds, cl) : d.SubColorBltFastFade(s, x, y, f, sr, ds, cl);
        return keyed ? d.SubColorBlt(s, x, y, sr, ds, cl) : d.SubColorBltFast(s, x, y, sr, ds, cl);
    }
};

std::vector<Op> AllOps()
{
    std::vector<Op> ops;
    for (bool add : {true, false})
        for (bool keyed : {false, true})
            for (bool faded : {false, true}) ops.push_back({add, keyed, faded});
    return ops;
}

// A 16-bit word's channels scaled by a factor at 8-bit scale (each widened
// to the top of a byte, scaled, cut back).
Channels ScaleChannels8(Channels c, int f, bool is565)
{
    return {Mul(f, c.r << 3) >> 3, is565 ? Mul(f, c.g << 2) >> 2 : Mul(f, c.g << 3) >> 3, Mul(f, c.b << 3) >> 3};
}

Channels ScaleLevel(Channels c, int level) { return {c.r * level / 15, c.g * level / 15, c.b * level / 15}; }

Channels SatChannels(Channels d, Channels s, bool is565, bool add)
{
    return {Sat(d.r, s.r, 31, add), Sat(d.g, s.g, is565 ? 63 : 31, add), Sat(d.b, s.b, 31, add)};
}

// One pixel of the operation (f: the factor's low byte, 255 for the plain forms).
void AddSubRef(int df, int sf, uint8_t* d, const uint8_t* s, int f, bool add)
{
    const bool faded = f != 255;
    if (df == 3 || df == 4 || df == 10 || df == 11) {
        const bool is565 = Is565(df);
        Channels sc = Split16(Get16(s), is565);
        Channels dc = Split16(Get16(d), is565);
        int top = Get16(d) & 0x8000;  // 5-5-5 bit 15
        if (df == sf && (df == 3 || df == 4)) {
            if (faded) sc = ScaleLevel(sc, f / 16);
            else top ^= Get16(s) & 0x8000;  // the one-pixel packed form leaves the XOR
        } else if (df == sf) {
            if (faded) sc = ScaleChannels8(sc, f, is565);
            top = 0;  // the per-channel forms clear bit 15
        } else {
            if (faded) sc = ScaleChannels8(sc, f, is565);
            const int alpha = s[2] & 15;
            sc = ScaleLevel(sc, df == 3 ? (alpha & 14) : alpha);
        }
        uint16_t out = Join16(SatChannels(dc, sc, is565, add), is565);
        if (!is565) out = static_cast<uint16_t>(out | top);
        Put16(d, out);
        return;
    }
    const bool cross = df != sf;
    for (int i = 0; i < 3; ++i) {
        int c = s[i];
        if (faded) c = Mul(f, c);
        if (cross) c = Mul(s[3], c);
        d[i] = static_cast<uint8_t>(Sat(d[i], c, 255, add));
    }
    if (df == 12 || df == 13) d[3] = 255;
    if ((df == 7 || df == 8) && !faded && !cross) d[3] = static_cast<uint8_t>(add ? d[3] + s[3] : d[3] - s[3]);
}

TEST(AddSubColorBlt, every_pair_and_form_matches_the_reference)
{
    std::mt19937 rng(77);
    for (const Op& op : AllOps()) {
        ForRandomRounds(AcceptedPairs(), 37, 21, 29, 15, 14, rng, [&](CFastPlane& dst, CFastPlane& src, int df, int sf, int n) {
                // Keys that hit: copy the key pixel over some source pixels.
                const int kx = static_cast<int>(rng() % 29), ky = static_cast<int>(rng() % 15);
                src.SetColorKeyByPos(kx, ky);
                const uint32_t key = src.GetColorKey();
                const int bpp = pixfmt::BytesPerPixel(sf);
                for (int i = 0; i < 40; ++i) {
                    std::memcpy(PixelAt(src, static_cast<int>(rng() % 29), static_cast<int>(rng() % 15)), PixelAt(src, kx, ky),
                                sf == 10 || sf == 11 || sf == 12 || sf == 13 ? bpp - 1 : bpp);
                }
                // Factors beyond a byte too: only the low byte counts.
                const int factor = n == 0 ? 0 : n == 1 ? 254 : n == 2 ? 256 + 128 : n == 3 ? 239 : n == 4 ? 256 + 255 : static_cast<int>(rng() % 512);
                const int f = op.faded ? factor & 0xFF : 255;
                BltCase c = n == 4 ? BltCase{} : RandomCase(rng, 37, 21, 29, 15);
                const std::string what = op.Name() + " " + std::to_string(df) + " <- " + std::to_string(sf) + " factor " + std::to_string(factor);
                if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                        return op.Run(d, &s, c.x, c.y, factor, c.SrcRect(), c.DstSize(), c.Clip());
                    }, [&](uint8_t* d, const uint8_t* s) {
                        if (!op.keyed || !KeyedRef(sf, s, key)) AddSubRef(df, sf, d, s, f, op.add);
                    }, what)) return false;
                return true;
        });
    }
}

TEST(AddSubColorBlt, sixteen_bit_rows_pair_pixels_at_every_start_and_width)
{
    // The unkeyed 1:1 rows of 3 <- 3 and 4 <- 4 take two pixels a word, with
    // lone pixels at an odd start or end; every split must equal the one-pixel form.
    std::mt19937 rng(3);
    for (int df : {3, 4}) {
        CFastPlane dst, src;
        ASSERT_EQ(dst.CreateSurface(40, 2, df), 0);
        ASSERT_EQ(src.CreateSurface(40, 2, df), 0);
        for (const Op& op : AllOps()) {
            if (op.keyed) continue;
            for (int left = 0; left < 3; ++left) {
                for (int width = 8; width < 20; ++width) {
                    FillRandom(dst, rng);
                    FillRandom(src, rng);
                    BltCase c;
                    c.x = left;
                    c.srcRect = Rect{1, 0, 1 + width, 2};
                    const int factor = static_cast<int>(rng() % 256);
                    const int f = op.faded ? factor : 255;
                    if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                            return op.Run(d, &s, c.x, c.y, factor, c.SrcRect());
                        }, [&](uint8_t* d, const uint8_t* s) { AddSubRef(df, df, d, s, f, op.add); },
                        op.Name() + " row at " + std::to_string(left) + " width " + std::to_string(width))) return;
                }
            }
        }
    }
}

TEST(AddSubColorBlt, result_codes_of_every_pair)
{
    for (const Op& op : AllOps()) {
        ForEveryFormatPair(AcceptedPairs(), op.Name() + " ", [&](CFastPlane& dst, CFastPlane& src, int df, int sf, bool accepted) {
            const int want = accepted || df == sf ? 0 : 2;
            for (int factor : {128, 255}) {
                EXPECT_EQ(op.Run(dst, &src, 0, 0, factor), want)
                    << op.Name() << " " << df << " <- " << sf << " factor " << factor << ": wrong result code for the pair";
            }
        });
        CFastPlane dst, empty;
        ASSERT_EQ(dst.CreateSurface(4, 4, 7), 0);
        EXPECT_EQ(op.Run(dst, &empty, 0, 0, 128), 1) << op.Name() << ": an unlockable source must answer 1";
        EXPECT_EQ(op.Run(dst, nullptr, 0, 0, 128), 1) << op.Name() << ": a null source must answer 1";
        EXPECT_EQ(op.Run(empty, &dst, 0, 0, 128), 1) << op.Name() << ": an unlockable destination must answer 1";
    }
}

TEST(AddSubColorBlt, worked_examples_of_the_scaling)
{
    // 10 <- 10 scales at 8-bit precision: red 31 at factor 128 adds 15; 3 <- 3
    // at factor 128 (level 8) adds 16.
    CFastPlane d10, s10, d3, s3;
    ASSERT_EQ(d10.CreateSurface(1, 1, 10), 0);
    ASSERT_EQ(s10.CreateSurface(1, 1, 10), 0);
    ASSERT_EQ(d3.CreateSurface(1, 1, 3), 0);
    ASSERT_EQ(s3.CreateSurface(1, 1, 3), 0);
    Put16(PixelAt(s10, 0, 0), 31 << 11);
    PixelAt(d10, 0, 0)[2] = 7;
    Put16(PixelAt(s3, 0, 0), 31 << 11);
    ASSERT_EQ(d10.AddColorBltFastFade(&s10, 0, 0, 128), 0);
    ASSERT_EQ(d3.AddColorBltFastFade(&s3, 0, 0, 128), 0);
    EXPECT_EQ(Get16(PixelAt(d10, 0, 0)) >> 11, 15) << "10 <- 10 must scale red 31 by 128/255 at 8-bit scale";
    EXPECT_EQ(PixelAt(d10, 0, 0)[2], 7) << "10 <- 10 must keep the destination's alpha level";
    EXPECT_EQ(Get16(PixelAt(d3, 0, 0)) >> 11, 16) << "3 <- 3 at factor 128 must scale by level 8";

    // 3 <- 10: a white source of level 15 subtracts 14/15 of each channel.
    CFastPlane w10;
    ASSERT_EQ(w10.CreateSurface(1, 1, 10), 0);
    Put16(PixelAt(w10, 0, 0), 0xFFFF);
    PixelAt(w10, 0, 0)[2] = 15;
    Put16(PixelAt(d3, 0, 0), 0xFFFF);
    ASSERT_EQ(d3.SubColorBltFast(&w10, 0, 0), 0);
    EXPECT_EQ(Get16(PixelAt(d3, 0, 0)), Join16({31 - 28, 63 - 58, 31 - 28}, true))
        << "format 10 must drop the level's lowest bit and subtract red 28, green 58, blue 28";

    // 4 <- 11 with a level byte above 15: only its low four bits count (a
    // wider value would index past the level table).
    CFastPlane d4, s11;
    ASSERT_EQ(d4.CreateSurface(1, 1, 4), 0);
    ASSERT_EQ(s11.CreateSurface(1, 1, 11), 0);
    Put16(PixelAt(s11, 0, 0), 0x7FFF);
    PixelAt(s11, 0, 0)[2] = 0xF3;
    ASSERT_EQ(d4.AddColorBlt(&s11, 0, 0), 0);
    EXPECT_EQ(Get16(PixelAt(d4, 0, 0)), Join16({31 * 3 / 15, 31 * 3 / 15, 31 * 3 / 15}, false))
        << "a level byte of 0xF3 must scale by level 3";
}

}  // namespace
