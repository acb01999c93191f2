// CAlphaCoverage: where a picture with alpha is all clear, by blocks.
#include "game/AlphaCoverage.h"

#include <gtest/gtest.h>

#include "display/FastPlane.h"
#include "support/PlaneTestSupport.h"

namespace {

TEST(AlphaCoverage, a_rectangle_shows_unless_every_block_it_meets_is_all_clear)
{
    CFastPlane picture;
    ASSERT_EQ(picture.CreateSurface(100, 70, 12), 0);  // with alpha, all clear
    CAlphaCoverage coverage;
    EXPECT_TRUE(coverage.Shows({0, 0, 1, 1}, 0, 0)) << "before Take anything may show";
    planetest::PixelAt(picture, 40, 50)[3] = 1;  // the faintest pixel counts
    planetest::PixelAt(picture, 99, 69)[3] = 255;  // in the last, partial block
    coverage.Take(&picture);
    EXPECT_TRUE(coverage.Shows({40, 50, 41, 51}, 0, 0));
    EXPECT_TRUE(coverage.Shows({0, 0, 100, 70}, 0, 0));
    EXPECT_TRUE(coverage.Shows({98, 68, 120, 90}, 0, 0)) << "a rectangle past the picture is cut to it";
    EXPECT_TRUE(coverage.Shows({240, 350, 241, 351}, 200, 300)) << "the picture placed elsewhere";
    constexpr int b = CAlphaCoverage::kBlock;
    EXPECT_FALSE(coverage.Shows({0, 0, 2 * b, 3 * b}, 0, 0)) << "blocks all clear";
    EXPECT_FALSE(coverage.Shows({40, 50, 41, 51}, 200, 300)) << "the pixel is elsewhere now";
    EXPECT_FALSE(coverage.Shows({-50, -50, 0, 0}, 0, 0)) << "outside the picture nothing shows";
    EXPECT_FALSE(coverage.Shows({3 * b, 3 * b, 4 * b, 4 * b}, 0, 0)) << "the block next to the pixel's";
    // A clear pixel in a block holding one that is not: a blend there is
    // wasted but harmless, so the answer may be yes.
    EXPECT_TRUE(coverage.Shows({2 * b + 1, 3 * b + 1, 2 * b + 2, 3 * b + 2}, 0, 0));

    CFastPlane opaque;
    ASSERT_EQ(opaque.CreateSurface(10, 10, pixfmt::kBGRX32), 0);
    coverage.Take(&opaque);
    EXPECT_TRUE(coverage.Shows({0, 0, 1, 1}, 0, 0)) << "a picture without alpha shows everywhere";
}

}  // namespace
