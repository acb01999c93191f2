// AddColorFast / SubColorFast against per-channel min/max on the plane's own
// channels.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "display/FastPlane.h"
#include "support/PlaneTestSupport.h"
#include "raster/Simd.h"

using namespace planetest;

namespace {

// Expected pixel after adding (or subtracting) colour 0x00BBGGRR.
void AddRef(int f, uint8_t* p, uint32_t colour, bool sub)
{
    const int R = colour & 0xFF, G = (colour >> 8) & 0xFF, B = (colour >> 16) & 0xFF;
    auto op = [&](int v, int c, int max) { return sub ? std::max(v - c, 0) : std::min(v + c, max); };
    if (f == 3 || f == 4) {
        const bool is565 = f == 3;
        Channels c = Split16(Get16(p), is565);
        Channels k{R >> 3, is565 ? G >> 2 : G >> 3, B >> 3};
        Channels out{op(c.r, k.r, 31), op(c.g, k.g, is565 ? 63 : 31), op(c.b, k.b, 31)};
        Put16(p, Join16(out, is565) | (is565 ? 0 : (Get16(p) & 0x8000)));
        return;
    }
    const bool bgr = f == 5 || f == 7;
    const int k[3] = {bgr ? B : R, G, bgr ? R : B};
    for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(op(p[i], k[i], 255));
    if (f == 7 || f == 8) p[3] = static_cast<uint8_t>(sub ? p[3] - (colour >> 24) : p[3] + (colour >> 24));
}

class AddColor : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { raster::SetSimdEnabled(GetParam()); }
    void TearDown() override { raster::SetSimdEnabled(true); }
};

TEST_P(AddColor, matches_the_reference_in_every_drawn_format)
{
    std::mt19937 rng(51);
    for (int f : {3, 4, 5, 6, 7, 8}) {
        for (int n = 0; n < 40; ++n) {
            CFastPlane p;
            ASSERT_EQ(p.CreateSurface(29, 9, f), 0);
            FillRandom(p, rng);
            const uint32_t colour = n == 0 ? 0 : n == 1 ? 0xFFFFFF : n == 2 ? 0x40000000u | (rng() & 0xFFFFFF) : rng() & 0xFFFFFF;
            const bool sub = n & 1;
            std::optional<Rect> rect;
            if (n > 3) {
                int l = static_cast<int>(rng() % 34) - 3, t = static_cast<int>(rng() % 12) - 3;
                rect = Rect{l, t, l + static_cast<int>(rng() % 20), t + static_cast<int>(rng() % 8)};
            }
            CFastPlane expected;
            expected.CopyFrom(p);
            Rect area = rect.value_or(Rect{0, 0, 29, 9});
            for (int y = std::max(area.top, 0); y < std::min(area.bottom, 9); ++y)
                for (int x = std::max(area.left, 0); x < std::min(area.right, 29); ++x) AddRef(f, PixelAt(expected, x, y), colour, sub);
            const int result = sub ? p.SubColorFast(colour, rect ? &*rect : nullptr) : p.AddColorFast(colour, rect ? &*rect : nullptr);
            ASSERT_EQ(result, 0);
            ASSERT_EQ(Snapshot(p), Snapshot(expected))
                << "format " << f << (sub ? " minus " : " plus ") << std::hex << colour << std::dec << " rect "
                << area.left << "," << area.top << "," << area.right << "," << area.bottom
                << ": every pixel of the rectangle must change exactly once and no other";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ScalarAndSimd, AddColor, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "simd" : "scalar"; });

TEST(AddColorFormats, alpha_and_8_bit_planes_are_left_alone)
{
    std::mt19937 rng(52);
    for (int f : {2, 10, 11, 12, 13}) {
        CFastPlane p;
        ASSERT_EQ(p.CreateSurface(5, 5, f), 0);
        FillRandom(p, rng);
        auto before = Snapshot(p);
        EXPECT_EQ(p.AddColorFast(0x808080), 0);
        EXPECT_EQ(p.SubColorFast(0x808080), 0);
        EXPECT_EQ(Snapshot(p), before) << "format " << f << " is not drawn on";
    }
}

TEST(AddColorFormats, a_one_pixel_rectangle_at_an_odd_x_changes_that_pixel_only)
{
    CFastPlane p;
    ASSERT_EQ(p.CreateSurface(6, 1, 3), 0);
    Rect r{3, 0, 4, 1};
    ASSERT_EQ(p.AddColorFast(0xFFFFFF, &r), 0);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Get16(PixelAt(p, x, 0)), x == 3 ? 0xFFFF : 0) << "pixel " << x;
}

}  // namespace
