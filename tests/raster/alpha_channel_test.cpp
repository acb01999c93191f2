// Alpha-channel operations: the alpha ramp, MakeAlphaFromPlane (and its
// rectangle form), AlphaPlaneBltFast and the empty PatternBlendBlt, against
// references written from the formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "display/FastPlane.h"
#include "support/PlaneTestSupport.h"
#include "raster/AlphaRamp.h"
#include "raster/RasterTestSupport.h"

using namespace planetest;

namespace {

std::vector<int> Ramp(int i0, int i1, int v0, int v1)
{
    uint8_t table[256];
    std::fill(std::begin(table), std::end(table), 0xAA);
    BuildAlphaRamp(table, i0, i1, v0, v1);
    return std::vector<int>(table, table + 256);
}

TEST(AlphaRamp, worked_examples)
{
    auto r = Ramp(64, 192, 0, 255);
    EXPECT_EQ(r[0], 0) << "below the start index the start value";
    EXPECT_EQ(r[64], 0) << "the start index itself holds the start value";
    EXPECT_EQ(r[65], 1) << "the line truncates 255 * 1 / 128";
    EXPECT_EQ(r[128], 127) << "the middle of the line";
    EXPECT_EQ(r[191], 253) << "the last line entry falls short of the end value";
    EXPECT_EQ(r[192], 255) << "from the end index on the end value";
    EXPECT_EQ(r[255], 255) << "from the end index on the end value";

    r = Ramp(100, 100, 255, 0);
    EXPECT_EQ(r[99], 255) << "equal indices: a hard step, start value below";
    EXPECT_EQ(r[100], 0) << "equal indices: end value from the index on";

    r = Ramp(-1, 0, 9, 33);
    EXPECT_EQ(std::count(r.begin(), r.end(), 33), 256) << "an end index of 0 makes the whole table the end value";

    r = Ramp(300, 400, 7, 99);
    EXPECT_EQ(std::count(r.begin(), r.end(), 7), 256) << "a start index past the table makes it all the start value";

    r = Ramp(0, 10, -100, 100);
    EXPECT_EQ(r[0], 156) << "the start value is stored by its low byte";
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(r[i], 0) << "line entry " << i << " must be clamped up to 0";
    EXPECT_EQ(r[6], 20) << "line entry 6";
    EXPECT_EQ(r[9], 80) << "line entry 9";
    EXPECT_EQ(r[10], 100) << "end value from the end index";

    r = Ramp(-5, 5, 0, 100);
    EXPECT_EQ((std::vector<int>(r.begin(), r.begin() + 6)), (std::vector<int>{50, 60, 70, 80, 90, 100}))
        << "the line is measured from a start index below 0";

    r = Ramp(0, 255, 0, 255);
    for (int i = 0; i < 255; ++i) ASSERT_EQ(r[i], i) << "0..255 onto 0..255 must be the identity at " << i;
}

TEST(AlphaRamp, extreme_arguments_stay_in_range)
{
    // Products of the line that do not fit 32 bits must still give a
    // straight line clamped to 0..255, not a wrapped value.
    auto r = Ramp(INT_MIN, 255, INT_MIN, INT_MAX);
    for (int i = 1; i < 255; ++i) ASSERT_LE(r[i - 1], r[i]) << "a rising line must not fall at " << i;
    EXPECT_EQ(r[254], 255) << "the end of a huge rising line clamps at 255";
    r = Ramp(-1, INT_MAX, INT_MAX, INT_MIN);
    EXPECT_EQ(r[0], 255) << "the start of a huge falling line clamps at 255";
    EXPECT_EQ(r[255], 255) << "far from its end a huge falling line is still above 255";
}

int RampKeyRef(int sf, const uint8_t* s)
{
    switch (sf) {
    case 3: case 4: case 10: case 11: return (Get16(s) & 31) * 8;
    case 5: case 7: case 12: return s[0];
    default: return s[2];
    }
}

TEST(MakeAlphaFromPlane, every_pair_matches_the_reference)
{
    std::mt19937 rng(107);
    const std::vector<std::pair<int, int>> pairs = {{10, 3}, {10, 10}, {11, 4}, {11, 11}, {12, 5}, {12, 7},
                                                    {12, 12}, {13, 6}, {13, 8}, {13, 13}};
    rastertest::ForRandomRounds(pairs, 37, 21, 29, 15, 12, rng, [&](CFastPlane& dst, CFastPlane& src, int df, int sf, int n) {
            const int i0 = static_cast<int>(rng() % 300) - 20, i1 = static_cast<int>(rng() % 300) - 20;
            const int v0 = static_cast<int>(rng() % 400) - 70, v1 = static_cast<int>(rng() % 400) - 70;
            const auto ramp = Ramp(i0, i1, v0, v1);
            BltCase c = n == 0 ? BltCase{} : RandomCase(rng, 37, 21, 29, 15);
            const std::string what = "alpha " + std::to_string(df) + " <- " + std::to_string(sf);
            if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                    return d.MakeAlphaFromPlane(&s, i0, i1, v0, v1, c.x, c.y, c.SrcRect(), c.DstSize(), c.Clip());
                }, [&](uint8_t* d, const uint8_t* s) {
                    const int a = ramp[RampKeyRef(sf, s)];
                    if (df == 10 || df == 11) d[2] = static_cast<uint8_t>(a >> 4);
                    else d[3] = static_cast<uint8_t>(a);
                }, what)) return false;
            return true;
    });
}

TEST(MakeAlphaFromPlane, rectangle_form_uses_the_same_area_of_both_planes)
{
    std::mt19937 rng(8);
    CFastPlane dst, src;
    ASSERT_EQ(dst.CreateSurface(20, 10, 12), 0);
    ASSERT_EQ(src.CreateSurface(20, 10, 7), 0);
    FillRandom(dst, rng);
    FillRandom(src, rng);
    CFastPlane expected;
    expected.CopyFrom(dst);
    const Rect rect{3, 2, 11, 9};
    ASSERT_EQ(dst.MakeAlphaFromPlaneRect(&src, 0, 255, 0, 255, &rect), 0);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            const uint8_t want = inside ? PixelAt(src, x, y)[0] : PixelAt(expected, x, y)[3];
            ASSERT_EQ(PixelAt(dst, x, y)[3], want) << "pixel (" << x << "," << y << ") must take the blue of the same source pixel inside the rectangle and keep its alpha outside";
            ASSERT_EQ(std::memcmp(PixelAt(dst, x, y), PixelAt(expected, x, y), 3), 0) << "the colour must stay";
        }
    }
    CFastPlane whole;
    whole.CopyFrom(expected);
    ASSERT_EQ(whole.MakeAlphaFromPlaneRect(&src, 0, 255, 0, 255), 0);
    EXPECT_EQ(PixelAt(whole, 19, 9)[3], PixelAt(src, 19, 9)[0]) << "without a rectangle the whole planes are used";
}

TEST(MakeAlphaFromPlane, other_pairs_draw_nothing_and_answer_done)
{
    for (int df : AllFormats()) {
        for (int sf : AllFormats()) {
            const bool served = pixfmt::IsAlphaFormat(df) && (df == sf || pixfmt::AlphaFormatOf(sf) == df);
            if (served) continue;
            CFastPlane dst, src;
            ASSERT_EQ(dst.CreateSurface(4, 4, df), 0);
            ASSERT_EQ(src.CreateSurface(4, 4, sf), 0);
            std::mt19937 rng(df * 16 + sf);
            FillRandom(dst, rng);
            FillRandom(src, rng);
            auto before = Snapshot(dst);
            EXPECT_EQ(dst.MakeAlphaFromPlane(&src, 0, 255, 0, 255, 0, 0), 0) << df << " <- " << sf << ": a pair without kernel answers 0";
            EXPECT_EQ(Snapshot(dst), before) << df << " <- " << sf << ": a pair without kernel must draw nothing";
        }
    }
    CFastPlane dst, empty;
    ASSERT_EQ(dst.CreateSurface(4, 4, 12), 0);
    EXPECT_EQ(dst.MakeAlphaFromPlane(&empty, 0, 255, 0, 255, 0, 0), 1) << "an unlockable source must answer 1";
}

TEST(AlphaPlaneBltFast, copies_colour_keeping_alpha_and_answers_its_codes)
{
    std::mt19937 rng(9);
    for (int f : {10, 11, 12, 13}) {
        CFastPlane dst, src;
        ASSERT_EQ(dst.CreateSurface(37, 21, f), 0);
        ASSERT_EQ(src.CreateSurface(29, 15, f), 0);
        for (int n = 0; n < 12; ++n) {
            FillRandom(dst, rng);
            FillRandom(src, rng);
            BltCase c = n == 0 ? BltCase{} : RandomCase(rng, 37, 21, 29, 15);
            if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                    return d.AlphaPlaneBltFast(&s, c.x, c.y, c.SrcRect(), c.DstSize(), c.Clip());
                }, [&](uint8_t* d, const uint8_t* s) { std::memcpy(d, s, f >= 12 ? 3 : 2); },
                "alpha plane copy " + std::to_string(f))) return;
        }
    }
    for (int df : AllFormats()) {
        for (int sf : AllFormats()) {
            CFastPlane dst, src;
            ASSERT_EQ(dst.CreateSurface(4, 4, df), 0);
            ASSERT_EQ(src.CreateSurface(4, 4, sf), 0);
            const int want = df != sf ? 2 : pixfmt::IsAlphaFormat(df) ? 0 : 3;
            EXPECT_EQ(dst.AlphaPlaneBltFast(&src, 0, 0), want) << df << " <- " << sf << ": wrong result code";
        }
    }
    CFastPlane dst, empty;
    ASSERT_EQ(dst.CreateSurface(4, 4, 12), 0);
    EXPECT_EQ(dst.AlphaPlaneBltFast(&empty, 0, 0), 1) << "an unlockable source must answer 1";
}

TEST(PatternBlendBlt, is_an_empty_slot)
{
    CFastPlane plane;
    ASSERT_EQ(plane.CreateSurface(4, 4, 7), 0);
    std::mt19937 rng(1);
    FillRandom(plane, rng);
    auto before = Snapshot(plane);
    EXPECT_EQ(plane.PatternBlendBlt(1, 2, 3, 4, 5, 6, 7), 0) << "the empty slot answers 0";
    EXPECT_EQ(Snapshot(plane), before) << "the empty slot must change nothing";
}

}  // namespace
