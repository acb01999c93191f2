// PreparedBlt's column patterns, block stretches and repeated columns
// against the one-piece Draw they stand for: every pattern bit, block and
// copy must draw exactly what its own one-column piece or block draws with
// Draw, in order, at every vector level, for a pair with the row kernels
// (32-bit screen from its alpha format, plain and faded) and one without (a
// keyed copy, drawn piece by piece), with the clip and the plane edges
// cutting in.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "display/PreparedBlt.h"
#include "raster/Simd.h"
#include "support/PlaneTestSupport.h"

namespace {

// Random pixels with some clear and some opaque alphas among the rest.
std::unique_ptr<CFastPlane> RandomPlane(int format, int w, int h, uint32_t seed)
{
    auto plane = std::make_unique<CFastPlane>();
    EXPECT_EQ(plane->CreateSurface(w, h, format), 0) << "could not make a test plane";
    std::mt19937 rng(seed);
    planetest::FillRandom(*plane, rng);
    return plane;
}

struct DrawerCase {
    int dst;
    int src;
    PieceOp op;
    int factor;
    const char* name;
};

const DrawerCase kCases[] = {
    {pixfmt::kBGRX32, pixfmt::kBGRA32, PieceOp::kBltAuto, 0, "alpha blit"},
    {pixfmt::kBGRX32, pixfmt::kBGRA32, PieceOp::kAlphaBltFastFade, 97, "faded alpha blit"},
    {pixfmt::kBGRX32, pixfmt::kBGRX32, PieceOp::kBltColorKey, 0, "keyed copy"},
};

class PreparedBltForms : public ::testing::TestWithParam<raster::SimdLevel> {
protected:
    void SetUp() override
    {
        if (raster::SetSimdLevel(GetParam()) != GetParam()) GTEST_SKIP() << "this processor lacks the instructions";
    }
    void TearDown() override { raster::SetSimdEnabled(true); }

    // Runs draw(drawer) on one copy of the target and reference(drawer) on
    // another, for every setup and clip, and expects the same pixels.
    template <class Draw, class Reference>
    void ExpectSame(const char* what, Draw draw, Reference reference)
    {
        const Rect clips[] = {{0, 0, 40, 30}, {3, 2, 37, 27}};
        for (const DrawerCase& setup : kCases) {
            auto src = RandomPlane(setup.src, 33, 21, 7);
            src->SetColorKey(0);
            auto start = RandomPlane(setup.dst, 40, 30, 11);
            for (const Rect& clip : clips) {
                CFastPlane got;
                CFastPlane want;
                ASSERT_EQ(got.CopyFrom(*start), 0);
                ASSERT_EQ(want.CopyFrom(*start), 0);
                PreparedBlt onGot;
                PreparedBlt onWant;
                ASSERT_TRUE(onGot.Prepare(&got, src.get(), setup.op, setup.factor, &clip));
                ASSERT_TRUE(onWant.Prepare(&want, src.get(), setup.op, setup.factor, &clip));
                draw(onGot);
                reference(onWant);
                EXPECT_TRUE(planetest::Snapshot(got) == planetest::Snapshot(want))
                    << what << " differs from its pieces drawn one by one (" << setup.name << ", clip "
                    << clip.left << "," << clip.top << ")";
            }
        }
    }
};

TEST_P(PreparedBltForms, a_column_pattern_draws_what_its_one_column_pieces_draw)
{
    // Patterns of every period the transitions use, none and all, placed
    // so that the clip and the plane edges cut a column of each phase.
    const unsigned patterns[] = {0x0000, 0xFFFF, 0x5555, 0xAAAA, 0x1111, 0x0F0F, 0x00FF, 0x8001, 0x7FFE, 0x1234};
    const int offsets[] = {-6, -1, 0, 2, 5, 13};
    for (unsigned pattern : patterns) {
        for (int dx : offsets) {
            const Rect piece{1, 2, 31, 19};
            ExpectSame(
                "DrawColumns",
                [&](PreparedBlt& drawer) { drawer.DrawColumns(dx, dx / 2, piece, pattern); },
                [&](PreparedBlt& drawer) {
                    for (int c = piece.left; c < piece.right; ++c) {
                        if ((pattern >> ((c - piece.left) % 16) & 1) != 0) {
                            drawer.Draw(dx + c - piece.left, dx / 2, Rect{c, piece.top, c + 1, piece.bottom});
                        }
                    }
                });
        }
    }
}

TEST_P(PreparedBltForms, a_block_stretch_draws_what_its_blocks_draw_in_order)
{
    // Sizes with a vector form and one without; more blocks than one batch;
    // blocks scattered so that they overlap each other (the order counts)
    // and hang off every edge of the target and of the source.
    const int sizes[][2] = {{2, 2}, {4, 2}, {4, 4}, {8, 8}, {3, 2}};
    std::mt19937 rng(5);
    for (const auto& size : sizes) {
        const int w = size[0];
        const int h = size[1];
        for (bool ownSource : {false, true}) {
            const int count = 150;
            std::vector<int32_t> xs(count), ys(count), srcXs(count), srcYs(count);
            for (int i = 0; i < count; ++i) {
                xs[i] = static_cast<int32_t>(rng() % 48) - 6;
                ys[i] = static_cast<int32_t>(rng() % 38) - 6;
                if (i % 3 != 0) {
                    // A neighbour overlapping the block before it by all
                    // but a pixel or so, as a turned grid's do.
                    xs[i] = xs[i - 1] + static_cast<int32_t>(rng() % 3) - 1;
                    ys[i] = ys[i - 1] + static_cast<int32_t>(rng() % 3) - 1;
                }
                srcXs[i] = static_cast<int32_t>(rng() % 36) - 2;
                srcYs[i] = static_cast<int32_t>(rng() % 24) - 2;
            }
            // A row stretch lies on one source row; with few enough blocks
            // to stay inside the source, and one that runs past its edge.
            for (int n : {ownSource ? count : 33 / w, ownSource ? 1 : 33 / w + 1}) {
                BlockStretch stretch{1, 3, w, h, xs.data(), ys.data(), n};
                if (ownSource) {
                    stretch.left = stretch.top = 0;
                    stretch.srcXs = srcXs.data();
                    stretch.srcYs = srcYs.data();
                }
                ExpectSame(
                    "DrawBlocks", [&](PreparedBlt& drawer) { drawer.DrawBlocks(stretch); },
                    [&](PreparedBlt& drawer) {
                        for (int i = 0; i < n; ++i) {
                            const int32_t left = stretch.SrcX(i);
                            const int32_t top = stretch.SrcY(i);
                            drawer.Draw(xs[i], ys[i], Rect{left, top, left + w, top + h});
                        }
                    });
            }
        }
    }
}

TEST_P(PreparedBltForms, a_block_stretch_inside_the_clip_draws_what_its_blocks_draw_in_order)
{
    // A row stretch of 2 x 2 blocks all inside both clips (the blocks come
    // home), each placed from the one before by up to two pixels either way
    // (on it, overlapping it, touching it, apart), with corners on every
    // edge; then with one block just outside an edge of the smaller clip or
    // far off, which must still be cut or dropped.
    std::mt19937 rng(9);
    const int n = 33 / 2;
    std::vector<int32_t> xs(n), ys(n);
    int32_t x = 20;
    int32_t y = 14;
    for (int i = 0; i < n; ++i) {
        x = std::clamp<int32_t>(x + static_cast<int32_t>(rng() % 5) - 2, 3, 35);
        y = std::clamp<int32_t>(y + static_cast<int32_t>(rng() % 5) - 2, 2, 25);
        xs[i] = x;
        ys[i] = y;
    }
    xs[0] = 3;
    ys[1] = 2;
    xs[2] = 35;
    ys[3] = 25;
    const int32_t far = std::numeric_limits<int32_t>::min();
    const int32_t farRight = std::numeric_limits<int32_t>::max();
    const int32_t outs[][2] = {{0, 0}, {2, 10}, {36, 10}, {10, 1}, {10, 26}, {far, 10}, {10, far + 3}, {farRight, 10}};
    for (const auto& out : outs) {
        std::vector<int32_t> placedX = xs;
        std::vector<int32_t> placedY = ys;
        if (out[0] != 0 || out[1] != 0) {
            placedX[7] = out[0];
            placedY[7] = out[1];
        }
        for (bool fetchAhead : {false, true}) {
            BlockStretch stretch{1, 3, 2, 2, placedX.data(), placedY.data(), n};
            stretch.fetchAhead = fetchAhead;
            ExpectSame(
                "DrawBlocks", [&](PreparedBlt& drawer) { drawer.DrawBlocks(stretch); },
                [&](PreparedBlt& drawer) {
                    for (int i = 0; i < n; ++i) {
                        drawer.Draw(placedX[i], placedY[i], Rect{1 + 2 * i, 3, 3 + 2 * i, 5});
                    }
                });
        }
    }
}

TEST_P(PreparedBltForms, a_repeated_column_draws_what_the_column_draws_at_each_place)
{
    // Columns inside the source, on its edges and just past them; runs that
    // start left of the target, end past it, or are empty.
    const int columns[] = {-1, 0, 17, 32, 33};
    const int places[][2] = {{-9, 0}, {5, 3}, {30, -4}, {-3, 12}};
    for (int column : columns) {
        for (const auto& place : places) {
            for (int count : {0, 1, 3, 9, 60}) {
                const Rect piece{column, 1, column + 1, 20};
                ExpectSame(
                    "DrawRepeated",
                    [&](PreparedBlt& drawer) { drawer.DrawRepeated(place[0], place[1], piece, count); },
                    [&](PreparedBlt& drawer) {
                        for (int k = 0; k < count; ++k) {
                            drawer.Draw(place[0] + k, place[1], piece);
                        }
                    });
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, PreparedBltForms,
                         ::testing::Values(raster::SimdLevel::kScalar, raster::SimdLevel::kSse2,
                                           raster::SimdLevel::kAvx2),
                         [](const ::testing::TestParamInfo<raster::SimdLevel>& info) {
                             return info.param == raster::SimdLevel::kScalar ? "scalar"
                                    : info.param == raster::SimdLevel::kSse2 ? "sse2"
                                                                               : "avx2";
                         });

}  // namespace
