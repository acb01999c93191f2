// ClipBltRect: the 1:1 and stretched clipping that every blit walks.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "display/BltWalk.h"
#include "display/SurfaceView.h"
#include "support/PlaneTestSupport.h"

namespace {

SurfaceView View(int w, int h) { return SurfaceView{nullptr, w, Rect{0, 0, w, h}}; }

// Source columns that a walk over one row samples (the destination and
// source are 1-byte "pixels" holding their column index).
std::vector<int> SampledColumns(int srcWidth, int dstWidth, int x, const Rect* clip)
{
    std::vector<uint8_t> src(srcWidth), dst(dstWidth, 0xFF);
    for (int i = 0; i < srcWidth; ++i) src[i] = static_cast<uint8_t>(i);
    SurfaceView sv{src.data(), srcWidth, Rect{0, 0, srcWidth, 1}};
    SurfaceView dv{dst.data(), dstWidth, Rect{0, 0, dstWidth, 1}};
    Size size{dstWidth - x, 1};
    WalkBlt<1, 1>(dv, sv, x, 0, nullptr, &size, clip, [](uint8_t* d, const uint8_t* s) { *d = *s; });
    std::vector<int> out;
    for (int i = 0; i < dstWidth; ++i) out.push_back(dst[i] == 0xFF ? -1 : dst[i]);
    return out;
}

TEST(ClipBltRect, one_to_one_clips_both_rectangles_together)
{
    BltClipResult r;
    Rect clip{0, 0, 100, 100};
    ASSERT_EQ(ClipBltRect(View(100, 100), View(50, 40), -10, -5, &r, nullptr, nullptr, &clip), 0);
    EXPECT_TRUE(r.oneToOne);
    EXPECT_EQ(Rect(r.srcLeft, r.srcTop, r.srcRight, r.srcBottom), (Rect{10, 5, 50, 40}))
        << "a negative x and y must leave out the first -x columns and -y rows of the source";
    EXPECT_EQ(Rect(r.dstLeft, r.dstTop, r.dstRight, r.dstBottom), (Rect{0, 0, 40, 35}));
}

TEST(ClipBltRect, draws_nothing_outside_the_clip_or_for_empty_sizes)
{
    BltClipResult r;
    Rect clip{10, 10, 20, 20};
    EXPECT_EQ(ClipBltRect(View(100, 100), View(5, 5), 30, 30, &r, nullptr, nullptr, &clip), 1)
        << "a destination wholly outside the clip rectangle must draw nothing";
    Size zero{0, 5};
    EXPECT_EQ(ClipBltRect(View(100, 100), View(5, 5), 0, 0, &r, nullptr, &zero, nullptr), 1)
        << "a destination width of 0 must draw nothing";
    Size negative{-4, 5};
    EXPECT_EQ(ClipBltRect(View(100, 100), View(5, 5), 0, 0, &r, nullptr, &negative, nullptr), 1)
        << "a negative destination width must draw nothing rather than divide by it";
    Rect inverted{4, 0, 2, 5};
    EXPECT_EQ(ClipBltRect(View(100, 100), View(5, 5), 0, 0, &r, &inverted, nullptr, nullptr), 1)
        << "an inverted source rectangle must draw nothing";
}

TEST(ClipBltRect, same_size_is_one_to_one_and_other_size_stretches_both_axes)
{
    BltClipResult r;
    Size same{8, 6};
    ASSERT_EQ(ClipBltRect(View(100, 100), View(8, 6), 0, 0, &r, nullptr, &same, nullptr), 0);
    EXPECT_TRUE(r.oneToOne) << "a dstSize equal to the source size must take the 1:1 path";
    Size wider{16, 6};
    ASSERT_EQ(ClipBltRect(View(100, 100), View(8, 6), 0, 0, &r, nullptr, &wider, nullptr), 0);
    EXPECT_FALSE(r.oneToOne) << "a dstSize differing in one dimension must stretch";
    EXPECT_EQ(r.xStep, 0);
    EXPECT_EQ(r.xRemainder, 8);
    EXPECT_EQ(r.xError, -17) << "an unclipped stretch starts its error term at -W - 1";
    EXPECT_EQ(r.yStep, 1);
    EXPECT_EQ(r.yRemainder, 0);
}

TEST(ClipBltRect, stretch_samples_follow_the_error_term_rule)
{
    // 5 columns onto 3 sample 0, 2, 3; doubling samples 0, 0, 1, 1; halving 0, 2, 4.
    auto walk = [](int src, int dst) {
        std::vector<uint8_t> s(src), d(dst);
        for (int i = 0; i < src; ++i) s[i] = static_cast<uint8_t>(i);
        SurfaceView sv{s.data(), src, Rect{0, 0, src, 1}};
        SurfaceView dv{d.data(), dst, Rect{0, 0, dst, 1}};
        Size size{dst, 1};
        WalkBlt<1, 1>(dv, sv, 0, 0, nullptr, &size, nullptr, [](uint8_t* o, const uint8_t* i) { *o = *i; });
        return std::vector<int>(d.begin(), d.end());
    };
    EXPECT_EQ(walk(5, 3), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(walk(2, 4), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(walk(6, 3), (std::vector<int>{0, 2, 4}));
}

TEST(ClipBltRect, clipped_stretch_draws_exactly_the_matching_part_of_the_unclipped_one)
{
    // Every source width against every destination width and left clip,
    // including the clips where the error term lands on exactly 0.
    for (int src = 1; src <= 12; ++src) {
        for (int dst = 1; dst <= 12; ++dst) {
            std::vector<int> full = SampledColumns(src, dst, 0, nullptr);
            for (int c = 1; c < dst; ++c) {
                Rect clip{c, 0, dst, 1};
                std::vector<int> clipped = SampledColumns(src, dst, 0, &clip);
                for (int i = 0; i < dst; ++i) {
                    int want = i < c ? -1 : full[i];
                    ASSERT_EQ(clipped[i], want) << src << " columns onto " << dst << " clipped at " << c << ", column " << i
                                                << ": a clipped stretch must draw the same source pixel as the unclipped one";
                }
            }
        }
    }
}

TEST(ClipBltRect, clipped_vertical_stretch_matches_the_unclipped_rows)
{
    // A stretch in y only still walks the x axis with the error terms: the
    // clip at a column where the term is exactly 0 is the classic off-by-one.
    std::mt19937 rng(7);
    for (int n = 0; n < 300; ++n) {
        int sw = 1 + rng() % 9, sh = 1 + rng() % 9, dw = 1 + rng() % 14, dh = 1 + rng() % 14;
        std::vector<uint8_t> s(sw * sh * 2);
        for (int i = 0; i < sw * sh; ++i) { s[i * 2] = static_cast<uint8_t>(i % sw); s[i * 2 + 1] = static_cast<uint8_t>(i / sw); }
        SurfaceView sv{s.data(), sw * 2, Rect{0, 0, sw, sh}};
        std::vector<uint8_t> full(dw * dh * 2, 0xFF), part(dw * dh * 2, 0xFF);
        SurfaceView fv{full.data(), dw * 2, Rect{0, 0, dw, dh}}, pv{part.data(), dw * 2, Rect{0, 0, dw, dh}};
        Size size{dw, dh};
        Rect clip{static_cast<int>(rng() % dw), static_cast<int>(rng() % dh), dw, dh};
        auto copy = [](uint8_t* d, const uint8_t* p) { d[0] = p[0]; d[1] = p[1]; };
        WalkBlt<2, 2>(fv, sv, 0, 0, nullptr, &size, nullptr, copy);
        WalkBlt<2, 2>(pv, sv, 0, 0, nullptr, &size, &clip, copy);
        for (int y = clip.top; y < dh; ++y)
            for (int x = clip.left; x < dw; ++x)
                ASSERT_EQ(part[(y * dw + x) * 2] | part[(y * dw + x) * 2 + 1] << 8, full[(y * dw + x) * 2] | full[(y * dw + x) * 2 + 1] << 8)
                    << sw << "x" << sh << " onto " << dw << "x" << dh << " clipped at " << clip.left << "," << clip.top
                    << ": the clipped blit must equal the matching part of the unclipped one";
    }
}

TEST(ClipBltRect, source_rectangle_outside_the_source_plane_is_never_read)
{
    BltClipResult r;
    Rect wide{-3, -2, 9, 8};  // source plane is 6 x 5
    ASSERT_EQ(ClipBltRect(View(100, 100), View(6, 5), 10, 10, &r, &wide, nullptr, nullptr), 0);
    EXPECT_EQ(Rect(r.srcLeft, r.srcTop, r.srcRight, r.srcBottom), (Rect{0, 0, 6, 5}))
        << "a 1:1 source rectangle must be cut to the source plane";
    EXPECT_EQ(r.dstLeft, 13) << "cutting the source's left must move the destination along";
    EXPECT_EQ(r.dstTop, 12);
    Size size{30, 30};
    EXPECT_EQ(ClipBltRect(View(100, 100), View(6, 5), 0, 0, &r, &wide, &size, nullptr), 1)
        << "a stretch whose source reaches outside the source plane must draw nothing";
}

TEST(IntersectClipRect, intersects_with_the_plane_rectangle)
{
    SurfaceView v = View(20, 10);
    Rect out;
    EXPECT_EQ(*IntersectClipRect(v, &out, nullptr), (Rect{0, 0, 20, 10})) << "null must mean the plane rectangle";
    Rect r{-5, 3, 30, 4};
    EXPECT_EQ(*IntersectClipRect(v, &out, &r), (Rect{0, 3, 20, 4}));
    Rect outside{25, 0, 30, 5};
    IntersectClipRect(v, &out, &outside);
    EXPECT_TRUE(out.IsEmpty()) << "a rectangle outside the plane must come back empty";
}

}  // namespace
