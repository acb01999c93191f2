// PatternBlendBltFast against a plain reference: the constant blend's
// formulas with the factor pattern[(sy & 15) * 16 + (sx & 15)] of the
// source pixel (sx, sy) that the reference walk reads.
#include <gtest/gtest.h>

#include <random>

#include "display/FastPlane.h"
#include "raster/RasterTestSupport.h"

using namespace rastertest;

namespace {

void PatternRef(int df, int sf, uint8_t* d, const uint8_t* s, int p)
{
    if (df == 3 || df == 4) {
        const int level = df == sf ? p >> 4 : Mul(p, (s[2] & 15) * 16) >> 4;
        Put16(d, Level16(Get16(s), Get16(d), level, df == 3));
        return;
    }
    const int w = df == sf ? p : Mul(s[3], p);
    for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(Mul(w, s[i]) + Inv(w, d[i]));
    if (df == 7 || df == 8) d[3] = 0;
}

// The pattern blend has no kernel for the level formats onto themselves.
const FormatPairs& PatternPairs()
{
    static const FormatPairs pairs = {{3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8},
                                                           {3, 10}, {4, 11}, {5, 12}, {7, 12}, {6, 13}, {8, 13}};
    return pairs;
}

// Runs the pattern blend on a copy of dst and compares it with the
// reference walk, which knows each source pixel's coordinates.
bool CheckPattern(CFastPlane& dst, CFastPlane& src, const BltCase& c, const uint8_t* pattern, const std::string& what)
{
    CFastPlane actual, expected;
    actual.CopyFrom(dst);
    expected.CopyFrom(dst);
    EXPECT_EQ(actual.PatternBlendBltFast(&src, c.x, c.y, pattern, c.SrcRect(), c.DstSize(), c.Clip()), 0)
        << what << ": a supported pair must answer 0";
    const int df = dst.GetPixelFormat(), sf = src.GetPixelFormat();
    ReferenceWalk(expected, src, c, [&](int dx, int dy, int sx, int sy) {
        PatternRef(df, sf, PixelAt(expected, dx, dy), PixelAt(src, sx, sy), pattern[(sy & 15) * 16 + (sx & 15)]);
    });
    if (Snapshot(actual) != Snapshot(expected)) {
        ADD_FAILURE() << what << " " << c.Describe() << ": the pattern blend differs from the reference (wrong weight, cell or blend)";
        return false;
    }
    return true;
}

TEST(PatternBlendBltFast, every_pair_matches_the_reference)
{
    std::mt19937 rng(108);
    uint8_t pattern[256];
    for (auto [df, sf] : PatternPairs()) {
        CFastPlane dst, src;
        ASSERT_EQ(dst.CreateSurface(45, 37, df), 0);
        ASSERT_EQ(src.CreateSurface(41, 35, sf), 0);
        for (int n = 0; n < 16; ++n) {
            FillRandom(dst, rng);
            FillRandom(src, rng);
            for (uint8_t& p : pattern) p = static_cast<uint8_t>(n == 0 ? 255 : n == 1 ? 0 : rng());
            BltCase c = n < 3 ? BltCase{} : RandomCase(rng, 45, 37, 41, 35);
            if (!CheckPattern(dst, src, c, pattern, "pattern " + std::to_string(df) + " <- " + std::to_string(sf))) return;
        }
    }
}

TEST(PatternBlendBltFast, pattern_is_anchored_to_the_source)
{
    // A source rectangle starting at (20, 5) takes cell (4, 5) for its first
    // pixel wherever it is drawn.
    CFastPlane dst, src;
    ASSERT_EQ(dst.CreateSurface(4, 4, 5), 0);
    ASSERT_EQ(src.CreateSurface(32, 16, 5), 0);
    std::memset(PixelAt(src, 0, 0), 255, 32 * 16 * 3);
    uint8_t pattern[256] = {};
    pattern[5 * 16 + 4] = 255;
    const Rect r{20, 5, 21, 6};
    ASSERT_EQ(dst.PatternBlendBltFast(&src, 2, 1, pattern, &r), 0);
    EXPECT_EQ(PixelAt(dst, 2, 1)[0], 255) << "the first pixel must take the weight of pattern cell (4, 5)";
}

TEST(PatternBlendBltFast, result_codes_of_every_pair)
{
    uint8_t pattern[256] = {};
    ForEveryFormatPair(PatternPairs(), "", [&](CFastPlane& dst, CFastPlane& src, int df, int sf, bool accepted) {
        const int want = accepted || df == sf ? 0 : 1;
        EXPECT_EQ(dst.PatternBlendBltFast(&src, 0, 0, pattern), want) << df << " <- " << sf << ": wrong result code";
    });
    CFastPlane dst, src, empty;
    ASSERT_EQ(dst.CreateSurface(4, 4, 7), 0);
    ASSERT_EQ(src.CreateSurface(4, 4, 7), 0);
    EXPECT_EQ(dst.PatternBlendBltFast(&empty, 0, 0, pattern), 1) << "an unlockable source must answer 1";
    auto before = Snapshot(dst);
    EXPECT_EQ(dst.PatternBlendBltFast(&src, 0, 0, nullptr), 1) << "a null pattern must be refused";
    EXPECT_EQ(Snapshot(dst), before) << "a null pattern must draw nothing";
}

}  // namespace
