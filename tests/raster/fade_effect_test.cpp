// FadeEffect, the screen fade, against the per-format rules written plainly.
#include <gtest/gtest.h>

#include <random>

#include "display/FastPlane.h"
#include "support/PlaneTestSupport.h"
#include "raster/Simd.h"

using namespace planetest;

namespace {

void FadeRef(int f, uint8_t* p, int factor)
{
    const int a = factor & 0xFF;
    auto mul = [&](int v) { return a * v / 255; };
    switch (f) {
    case 3: case 4: {
        const bool is565 = f == 3;
        const int level = is565 ? (a >> 4) & 14 : a >> 4;
        Channels c = Split16(Get16(p), is565);
        Put16(p, Join16({c.r * level / 15, c.g * level / 15, c.b * level / 15}, is565));
        return;
    }
    case 5: case 6: for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(mul(p[i])); return;
    case 7: case 8: case 12: case 13:
        for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(mul(p[i]));
        p[3] = f >= 12 ? 255 : 0;
        return;
    case 10: case 11: {
        const bool is565 = f == 10;
        Channels c = Split16(Get16(p), is565);
        // 8-bit scale with the bits at the top, scaled, cut back.
        Channels out{mul(c.r << 3) >> 3, is565 ? mul(c.g << 2) >> 2 : mul(c.g << 3) >> 3, mul(c.b << 3) >> 3};
        Put16(p, Join16(out, is565));
        return;
    }
    }
}

class FadeEffect : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { raster::SetSimdEnabled(GetParam()); }
    void TearDown() override { raster::SetSimdEnabled(true); }
};

TEST_P(FadeEffect, matches_the_reference_in_every_format)
{
    std::mt19937 rng(61);
    for (int f : {3, 4, 5, 6, 7, 8, 10, 11, 12, 13}) {
        for (int factor : {0, 1, 15, 16, 31, 32, 127, 128, 223, 224, 239, 240, 254, 255, 256, 0x1FF}) {
            CFastPlane p;
            ASSERT_EQ(p.CreateSurface(21, 5, f), 0);
            FillRandom(p, rng, true);
            CFastPlane expected;
            expected.CopyFrom(p);
            Rect rect{2, 1, 40, 4};
            for (int y = 1; y < 4; ++y)
                for (int x = 2; x < 21; ++x) FadeRef(f, PixelAt(expected, x, y), factor);
            ASSERT_EQ(p.FadeEffect(factor, &rect), 0);
            ASSERT_EQ(Snapshot(p), Snapshot(expected)) << "format " << f << " factor " << factor;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ScalarAndSimd, FadeEffect, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "simd" : "scalar"; });

TEST(FadeEffectRules, sixteen_bit_levels_and_unhandled_formats)
{
    CFastPlane p;
    ASSERT_EQ(p.CreateSurface(1, 1, 3), 0);
    Put16(PixelAt(p, 0, 0), 0xFFFF);
    ASSERT_EQ(p.FadeEffect(255), 0);
    EXPECT_EQ(Get16(PixelAt(p, 0, 0)), (28 << 11) | (58 << 5) | 28) << "5-6-5 at 255 scales by 14/15 (even levels only)";
    ASSERT_EQ(p.CreateSurface(1, 1, 2), 0);
    PixelAt(p, 0, 0)[0] = 0x9A;
    EXPECT_EQ(p.FadeEffect(0), 0) << "an 8-bit plane answers 0";
    EXPECT_EQ(PixelAt(p, 0, 0)[0], 0x9A) << "and is left unchanged";
    ASSERT_EQ(p.CreateSurface(4, 4, 7), 0);
    Rect outside{10, 10, 20, 20};
    EXPECT_EQ(p.FadeEffect(0, &outside), 0) << "a rectangle outside the plane changes nothing";
}

}  // namespace
