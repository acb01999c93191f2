// MosaicEffect and NegativeEffect.
#include <gtest/gtest.h>

#include <random>

#include "display/FastPlane.h"
#include "support/PlaneTestSupport.h"

using namespace planetest;

namespace {

TEST(Mosaic, blocks_start_at_the_rectangle_and_take_their_top_left_pixel)
{
    std::mt19937 rng(71);
    for (int f : {3, 4, 5, 6, 7, 8, 10, 11, 12, 13}) {
        CFastPlane p;
        ASSERT_EQ(p.CreateSurface(16, 14, f), 0);
        FillRandom(p, rng);
        CFastPlane before;
        before.CopyFrom(p);
        Rect r{3, 5, 13, 12};  // 10 x 7
        ASSERT_EQ(p.MosaicEffect(4, &r), 0);
        const int bpp = pixfmt::BytesPerPixel(f);
        for (int y = 0; y < 14; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool inside = x >= 3 && x < 13 && y >= 5 && y < 12;
                const uint8_t* want = inside ? PixelAt(before, 3 + (x - 3) / 4 * 4, 5 + (y - 5) / 4 * 4) : PixelAt(before, x, y);
                const int compare = (f == 10 || f == 11) && inside ? 3 : bpp;
                ASSERT_EQ(std::memcmp(PixelAt(p, x, y), want, compare), 0) << "format " << f << " pixel " << x << "," << y;
                if ((f == 10 || f == 11) && inside) { ASSERT_EQ(PixelAt(p, x, y)[3], PixelAt(before, x, y)[3]) << "byte 3 keeps its own value"; }
            }
        }
    }
}

TEST(Mosaic, block_sizes_zero_and_one)
{
    CFastPlane p;
    ASSERT_EQ(p.CreateSurface(4, 4, 7), 0);
    std::mt19937 rng(72);
    FillRandom(p, rng);
    auto before = Snapshot(p);
    EXPECT_EQ(p.MosaicEffect(0), 1) << "block size 0 is refused";
    EXPECT_EQ(p.MosaicEffect(-3), 1) << "a negative block size is refused too";
    EXPECT_EQ(p.MosaicEffect(1), 0);
    EXPECT_EQ(Snapshot(p), before) << "block size 1 changes nothing";
    EXPECT_EQ(p.MosaicEffect(0x7FFFFFFF), 0) << "a huge block makes one block and must not overflow";
}

TEST(Negative, inverts_colour_bits_by_format)
{
    CFastPlane p;
    ASSERT_EQ(p.CreateSurface(1, 1, 4), 0);
    Put16(PixelAt(p, 0, 0), 0x8000);
    ASSERT_EQ(p.NegativeEffect(), 0);
    EXPECT_EQ(Get16(PixelAt(p, 0, 0)), 0xFFFF) << "5-5-5 keeps bit 15";
    ASSERT_EQ(p.CreateSurface(1, 1, 7), 0);
    uint8_t* px = PixelAt(p, 0, 0);
    px[0] = 0x78; px[1] = 0x56; px[2] = 0x34; px[3] = 0x12;
    ASSERT_EQ(p.NegativeEffect(), 0);
    EXPECT_EQ(px[0], 0x87);
    EXPECT_EQ(px[2], 0xCB);
    EXPECT_EQ(px[3], 0x12) << "byte 3 kept";
    ASSERT_EQ(p.CreateSurface(1, 1, 12), 0);
    PixelAt(p, 0, 0)[3] = 200;
    ASSERT_EQ(p.NegativeEffect(), 0);
    EXPECT_EQ(PixelAt(p, 0, 0)[3], 0) << "an alpha-byte plane becomes transparent";
    ASSERT_EQ(p.CreateSurface(1, 1, 10), 0);
    ASSERT_EQ(p.NegativeEffect(), 0);
    EXPECT_EQ(PixelAt(p, 0, 0)[2], 15) << "an alpha-level plane becomes opaque";
    EXPECT_EQ(Get16(PixelAt(p, 0, 0)), 0xFFFF);
}

}  // namespace
