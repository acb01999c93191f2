// Constant-alpha blends (BlendBltFast, keyed BlendBlt) against a plain
// reference written from the formulas: floor(a*s/255) + floor(d*(255-a)/255)
// per byte, floor(v*L/15) per 16-bit channel.
#include <gtest/gtest.h>

#include <random>

#include "display/BlendTables.h"
#include "display/FastPlane.h"
#include "raster/RasterTestSupport.h"
#include "raster/Simd.h"

using namespace rastertest;

namespace {

void MixBytesRef(uint8_t* d, const uint8_t* s, int w)
{
    for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(Mul(w, s[i]) + Inv(w, d[i]));
}

// The blend of one pixel, by pair.
void BlendRef(int df, int sf, uint8_t* d, const uint8_t* s, int factor)
{
    const int a = factor & 0xFF;
    if (df == sf) {
        switch (df) {
        case 3: case 4: Put16(d, Level16(Get16(s), Get16(d), a / 16, df == 3)); return;
        case 5: case 6: MixBytesRef(d, s, a); return;
        case 7: case 8: MixBytesRef(d, s, a); d[3] = 0; return;
        case 12: case 13: MixBytesRef(d, s, Mul(s[3], a)); d[3] = 255; return;
        case 10: case 11: {
            const bool is565 = df == 10;
            const int w = Mul((s[2] & 15) * 16, a);
            Channels cs = Split16(Get16(s), is565), cd = Split16(Get16(d), is565);
            // Channels at 8-bit scale (bits at the top), mixed, cut back.
            auto mix = [&](int sv, int dv, int bits) {
                int shift = 8 - bits;
                int v = Mul(w, sv << shift) + Inv(w, dv << shift);
                return v >> shift;
            };
            Channels out{mix(cs.r, cd.r, 5), mix(cs.g, cd.g, is565 ? 6 : 5), mix(cs.b, cd.b, 5)};
            Put16(d, Join16(out, is565));
            return;
        }
        }
        return;
    }
    if (df == 3 || df == 4) {
        const int level = Mul(a, (s[2] & 15) * 16) / 16;
        Put16(d, Level16(Get16(s), Get16(d), level, df == 3));
        return;
    }
    MixBytesRef(d, s, Mul(s[3], a));
    if (df == 7 || df == 8) d[3] = 0;
}

class BlendBlt : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { raster::SetSimdEnabled(GetParam()); }
    void TearDown() override { raster::SetSimdEnabled(true); }
};

TEST_P(BlendBlt, every_pair_matches_the_reference_plain_and_keyed)
{
    std::mt19937 rng(21);
    ForRandomRounds(AcceptedPairs(), 37, 21, 29, 15, 16, rng, [&](CFastPlane& dst, CFastPlane& src, int df, int sf, int n) {
            src.SetColorKeyByPos(static_cast<int>(rng() % 29), static_cast<int>(rng() % 15));
            const uint32_t key = src.GetColorKey();
            // Factors beyond a byte too: only the low byte counts.
            const int factor = n == 0 ? 0 : n == 1 ? 255 : n == 2 ? 256 + 128 : static_cast<int>(rng() % 512);
            BltCase c = RandomCase(rng, 37, 21, 29, 15);
            const std::string what = "blend " + std::to_string(df) + " <- " + std::to_string(sf) + " factor " + std::to_string(factor);
            if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                    return d.BlendBltFast(&s, c.x, c.y, factor, c.SrcRect(), c.DstSize(), c.Clip());
                }, [&](uint8_t* d, const uint8_t* s) { BlendRef(df, sf, d, s, factor); }, what)) return false;
            if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                    return d.BlendBlt(&s, c.x, c.y, factor, c.SrcRect(), c.DstSize(), c.Clip());
                }, [&](uint8_t* d, const uint8_t* s) { if (!KeyedRef(sf, s, key)) BlendRef(df, sf, d, s, factor); },
                "keyed " + what)) return false;
            return true;
    });
}

TEST_P(BlendBlt, full_frame_rows_match_the_reference)
{
    // The wide 1:1 rows that the vector paths take, at every factor.
    std::mt19937 rng(5);
    for (auto [df, sf] : std::vector<std::pair<int, int>>{{7, 7}, {8, 8}, {3, 3}, {4, 4}, {7, 12}, {8, 13}}) {
        CFastPlane dst, src;
        ASSERT_EQ(dst.CreateSurface(67, 3, df), 0);
        ASSERT_EQ(src.CreateSurface(67, 3, sf), 0);
        for (int factor = 0; factor < 256; factor += 3) {
            FillRandom(dst, rng);
            FillRandom(src, rng);
            BltCase c;
            if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) { return d.BlendBltFast(&s, 0, 0, factor); },
                    [&](uint8_t* d, const uint8_t* s) { BlendRef(df, sf, d, s, factor); },
                    "full row " + std::to_string(df) + " <- " + std::to_string(sf) + " factor " + std::to_string(factor))) return;
        }
    }
}

TEST(BlendRows, are_exact_over_every_factor_and_channel_value)
{
    // Each byte value 0..255 against 0 on the other side isolates one
    // truncated term; every factor, in the vector rows and their tails.
    BuildBlendTables();  // the rows' tails read the tables
    raster::SetSimdEnabled(true);
    std::vector<uint8_t> s(256 * 4), d(256 * 4);
    for (int a = 0; a < 256; ++a) {
        for (int i = 0; i < 256; ++i) {
            s[i * 4] = s[i * 4 + 1] = s[i * 4 + 2] = static_cast<uint8_t>(i);
            d[i * 4] = d[i * 4 + 1] = d[i * 4 + 2] = 0;
            s[i * 4 + 3] = d[i * 4 + 3] = 0x55;
        }
        raster::BlendRow32(d.data(), s.data(), 255, a);
        for (int i = 0; i < 255; ++i) ASSERT_EQ(d[i * 4 + 1], Mul(a, i)) << "source term at factor " << a << ", value " << i;
        for (int i = 0; i < 256; ++i) {
            d[i * 4] = d[i * 4 + 1] = d[i * 4 + 2] = static_cast<uint8_t>(i);
            s[i * 4] = s[i * 4 + 1] = s[i * 4 + 2] = 0;
        }
        raster::BlendRow32(d.data(), s.data(), 256, a);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(d[i * 4 + 2], Inv(a, i)) << "destination term at factor " << a << ", value " << i;
        // The faded alpha row: weight floor(alpha * f / 255) per pixel.
        for (int i = 0; i < 256; ++i) {
            s[i * 4] = 255;
            s[i * 4 + 3] = static_cast<uint8_t>(i);
            d[i * 4] = 0;
        }
        raster::AlphaFadeRow32(d.data(), s.data(), 256, a);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(d[i * 4], Mul(Mul(i, a), 255)) << "faded weight at factor " << a << ", alpha " << i;
    }
    std::vector<uint8_t> s16(64 * 2 * 2), d16(64 * 2 * 2, 0);
    for (int level = 0; level < 16; ++level) {
        for (int v = 0; v < 64; ++v) {
            uint16_t w = static_cast<uint16_t>(((v & 31) << 11) | (v << 5) | (v & 31));
            Put16(&s16[v * 2], w);
            Put16(&d16[v * 2], 0);
        }
        raster::BlendRow565(d16.data(), s16.data(), 64, level);
        for (int v = 0; v < 64; ++v) {
            Channels c = Split16(Get16(&d16[v * 2]), true);
            ASSERT_EQ(c.g, v * level / 15) << "5-6-5 green " << v << " at level " << level;
            ASSERT_EQ(c.r, (v & 31) * level / 15) << "5-6-5 red " << (v & 31) << " at level " << level;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ScalarAndSimd, BlendBlt, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "simd" : "scalar"; });

TEST(BlendBltPairs, refuse_other_pairs_and_skip_equal_codes_without_kernel)
{
    ForEveryFormatPair(AcceptedPairs(), "", [](CFastPlane& dst, CFastPlane& src, int df, int sf, bool accepted) {
        const int want = accepted || df == sf ? 0 : 2;
        EXPECT_EQ(dst.BlendBltFast(&src, 0, 0, 128), want) << df << " <- " << sf << ": wrong result code";
        EXPECT_EQ(dst.BlendBlt(&src, 0, 0, 128), want) << df << " <- " << sf << " (keyed): wrong result code";
    });
    CFastPlane dst, empty;
    ASSERT_EQ(dst.CreateSurface(4, 4, 7), 0);
    EXPECT_EQ(dst.BlendBltFast(&empty, 0, 0, 128), 1) << "an unlockable source answers 1";
}

TEST(BlendBltPairs, truncation_examples)
{
    CFastPlane dst, src;
    ASSERT_EQ(dst.CreateSurface(4, 1, 5), 0);
    ASSERT_EQ(src.CreateSurface(4, 1, 5), 0);
    const uint8_t s[4] = {1, 255, 255, 0}, d[4] = {1, 255, 0, 255};
    for (int i = 0; i < 4; ++i) { PixelAt(src, i, 0)[0] = s[i]; PixelAt(dst, i, 0)[0] = d[i]; }
    ASSERT_EQ(dst.BlendBltFast(&src, 0, 0, 128), 0);
    EXPECT_EQ(PixelAt(dst, 0, 0)[0], 0) << "1 over 1 at 128 truncates to 0 + 0";
    EXPECT_EQ(PixelAt(dst, 1, 0)[0], 255) << "255 over 255 gives 128 + 127";
    EXPECT_EQ(PixelAt(dst, 2, 0)[0], 128) << "255 over 0 gives 128";
    EXPECT_EQ(PixelAt(dst, 3, 0)[0], 127) << "0 over 255 gives 127";
}

}  // namespace
