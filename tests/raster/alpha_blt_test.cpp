// Per-pixel alpha blits (AlphaBltFast, AlphaBltFastFade) against a plain
// reference written from the formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "display/FastPlane.h"
#include "raster/RasterTestSupport.h"
#include "raster/Simd.h"

using namespace rastertest;

namespace {

Channels Scale(Channels c, int n) { return {c.r * n / 15, c.g * n / 15, c.b * n / 15}; }
Channels Sum(Channels a, Channels b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

void AlphaRef(int df, int sf, uint8_t* d, const uint8_t* s)
{
    if (df == sf && (df == 10 || df == 11)) {
        const bool is565 = df == 10;
        const int S = (s[2] & 15) * 16, D = (d[2] & 15) * 16;
        const int T = D * (240 - S) / 255;
        const int N = T + S;
        d[2] = static_cast<uint8_t>(N / 16);
        if (N == 0) return;
        const int ws = 15 * S / N, wd = 15 * T / N;
        Put16(d, Join16(Sum(Scale(Split16(Get16(s), is565), ws), Scale(Split16(Get16(d), is565), wd)), is565));
        return;
    }
    if (df == sf) {  // 12, 13
        const int Sa = s[3];
        const int T = d[3] * (255 - Sa) / 255;
        const int N = T + Sa;
        d[3] = static_cast<uint8_t>(N);
        if (N == 0) return;
        const int ws = 255 * Sa / N, wd = 255 * T / N;
        for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(Mul(ws, s[i]) + Mul(wd, d[i]));
        d[3] = 255;
        return;
    }
    if (df == 3 || df == 4) {
        const bool is565 = df == 3;
        const int a = s[2] & 15;
        Put16(d, Join16(Sum(Scale(Split16(Get16(d), is565), 15 - a), Scale(Split16(Get16(s), is565), a)), is565));
        return;
    }
    for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(Mul(s[3], s[i]) + Inv(s[3], d[i]));
    if (df == 7 || df == 8) d[3] = 0;
}

void FadeRef(int df, uint8_t* d, const uint8_t* s, int factor)
{
    const int f = factor & 0xFF;
    if (df == 3 || df == 4) {
        const bool is565 = df == 3;
        const int e = Mul(f, 16 * (s[2] & 15)) / 16;
        Put16(d, Join16(Sum(Scale(Split16(Get16(d), is565), 15 - e), Scale(Split16(Get16(s), is565), e)), is565));
        return;
    }
    const int e = Mul(s[3], f);
    for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(Mul(e, s[i]) + Inv(e, d[i]));
    if (df == 7 || df == 8) d[3] = 0;
}

const FormatPairs kCross = {{3, 10}, {4, 11}, {5, 12}, {7, 12}, {6, 13}, {8, 13}};

class AlphaBlt : public ::testing::TestWithParam<raster::SimdLevel> {
protected:
    void SetUp() override
    {
        if (raster::SetSimdLevel(GetParam()) != GetParam()) GTEST_SKIP() << "this processor lacks the instructions";
    }
    void TearDown() override { raster::SetSimdEnabled(true); }
};

// Sprite alpha: runs of fully clear, fully opaque and mixed pixels, as a
// picture with a transparent background and soft edges has; the vector rows
// skip or copy whole groups of them. A 4-bit level keeps random high bits.
void SpriteAlpha(CFastPlane& src, std::mt19937& rng)
{
    const SurfaceView v = src.GetSurfaceView();
    const bool level4 = src.GetPixelFormat() == 10 || src.GetPixelFormat() == 11;
    int w = 0, h = 0;
    src.GetSize(&w, &h);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = v.pixels + static_cast<intptr_t>(y) * v.pitch;
        for (int x = 0; x < w;) {
            const int kind = static_cast<int>(rng() % 3), run = 1 + static_cast<int>(rng() % 20);
            for (int end = std::min(w, x + run); x < end; ++x) {
                const int a = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<int>(rng() % 256);
                if (level4) row[x * 4 + 2] = static_cast<uint8_t>((rng() & 0xF0) | (a >> 4));
                else row[x * 4 + 3] = static_cast<uint8_t>(a);
            }
        }
    }
}

TEST_P(AlphaBlt, every_pair_matches_the_reference)
{
    std::mt19937 rng(31);
    auto pairs = kCross;
    for (int f : {10, 11, 12, 13}) pairs.push_back({f, f});
    ForRandomRounds(pairs, 41, 19, 33, 17, 30, rng, [&](CFastPlane& dst, CFastPlane& src, int df, int sf, int n) {
        if (n % 2 == 1) SpriteAlpha(src, rng);
        BltCase c = n < 2 ? BltCase{} : RandomCase(rng, 41, 19, 33, 17);
        const std::string what = "alpha " + std::to_string(df) + " <- " + std::to_string(sf);
        return CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                return d.AlphaBltFast(&s, c.x, c.y, c.SrcRect(), c.DstSize(), c.Clip());
            }, [&](uint8_t* d, const uint8_t* s) { AlphaRef(df, sf, d, s); }, what);
    });
}

TEST_P(AlphaBlt, faded_form_matches_the_reference_and_plain_form_at_255)
{
    std::mt19937 rng(41);
    for (auto [df, sf] : kCross) {
        CFastPlane dst, src;
        ASSERT_EQ(dst.CreateSurface(41, 19, df), 0);
        ASSERT_EQ(src.CreateSurface(33, 17, sf), 0);
        for (int n = 0; n < 20; ++n) {
            FillRandom(dst, rng);
            FillRandom(src, rng);
            if (n % 2 == 1) SpriteAlpha(src, rng);
            const int factor = n == 0 ? 256 : n == 1 ? 511 : static_cast<int>(rng() % 256);
            BltCase c = n < 3 ? BltCase{} : RandomCase(rng, 41, 19, 33, 17);
            const std::string what = "faded alpha " + std::to_string(df) + " <- " + std::to_string(sf) + " factor " + std::to_string(factor);
            if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                    return d.AlphaBltFastFade(&s, c.x, c.y, factor, c.SrcRect(), c.DstSize(), c.Clip());
                }, [&](uint8_t* d, const uint8_t* s) { FadeRef(df, d, s, factor); }, what)) return;
        }
        FillRandom(dst, rng);
        FillRandom(src, rng);
        CFastPlane a, b;
        a.CopyFrom(dst);
        b.CopyFrom(dst);
        a.AlphaBltFast(&src, 3, 2);
        b.AlphaBltFastFade(&src, 3, 2, 255);
        EXPECT_EQ(Snapshot(a), Snapshot(b)) << df << " <- " << sf << ": factor 255 must give exactly AlphaBltFast's pixels";
    }
}

INSTANTIATE_TEST_SUITE_P(ScalarSse2Avx2, AlphaBlt,
                         ::testing::Values(raster::SimdLevel::kScalar, raster::SimdLevel::kSse2, raster::SimdLevel::kAvx2),
                         [](const auto& info) {
                             return info.param == raster::SimdLevel::kScalar ? "scalar"
                                    : info.param == raster::SimdLevel::kSse2 ? "sse2" : "avx2";
                         });

TEST(SimdLevels, a_level_the_processor_lacks_gives_the_best_it_has)
{
    const raster::SimdLevel best = raster::SetSimdLevel(raster::SimdLevel::kAvx2);
    EXPECT_EQ(raster::CurrentSimdLevel(), best);
    EXPECT_EQ(raster::SetSimdLevel(raster::SimdLevel::kScalar), raster::SimdLevel::kScalar);
    EXPECT_FALSE(raster::SimdEnabled()) << "the scalar level uses no vector rows";
    raster::SetSimdEnabled(true);
    EXPECT_EQ(raster::CurrentSimdLevel(), best) << "switching the rows back on restores the widest this processor has";
}

TEST(AlphaBltPairs, refuse_pairs_outside_their_tables)
{
    for (int df : AllFormats()) {
        for (int sf : AllFormats()) {
            CFastPlane dst, src;
            ASSERT_EQ(dst.CreateSurface(3, 3, df), 0);
            ASSERT_EQ(src.CreateSurface(3, 3, sf), 0);
            const bool cross = IsAccepted(kCross, df, sf);
            const bool composite = df == sf && df >= 10;
            EXPECT_EQ(dst.AlphaBltFast(&src, 0, 0), cross || composite ? 0 : 2) << df << " <- " << sf;
            EXPECT_EQ(dst.AlphaBltFastFade(&src, 0, 0, 128), cross ? 0 : 2)
                << df << " <- " << sf << ": the faded form never draws onto alpha formats";
        }
    }
}

TEST(AlphaBltPairs, levels_above_15_are_masked_not_read_past_the_tables)
{
    // Byte 2 of a format-10 pixel holds 0x1F: level 15 after masking.
    CFastPlane dst, src;
    ASSERT_EQ(dst.CreateSurface(1, 1, 3), 0);
    ASSERT_EQ(src.CreateSurface(1, 1, 10), 0);
    Put16(PixelAt(src, 0, 0), 0x1234);
    PixelAt(src, 0, 0)[2] = 0x1F;
    ASSERT_EQ(dst.AlphaBltFast(&src, 0, 0), 0);
    EXPECT_EQ(Get16(PixelAt(dst, 0, 0)), 0x1234) << "level 0x1F must act as 15 (opaque)";
    ASSERT_EQ(dst.BlendBltFast(&src, 0, 0, 255), 0);
    EXPECT_EQ(Get16(PixelAt(dst, 0, 0)), 0x1234);
}

TEST(AlphaBltPairs, compositing_examples)
{
    CFastPlane dst, src;
    ASSERT_EQ(dst.CreateSurface(1, 1, 10), 0);
    ASSERT_EQ(src.CreateSurface(1, 1, 10), 0);
    PixelAt(src, 0, 0)[2] = 0;
    PixelAt(dst, 0, 0)[2] = 15;
    Put16(PixelAt(dst, 0, 0), 0xFFFF);
    PixelAt(dst, 0, 0)[3] = 0x5A;
    ASSERT_EQ(dst.AlphaBltFast(&src, 0, 0), 0);
    EXPECT_EQ(PixelAt(dst, 0, 0)[2], 14) << "level 0 over 15 lowers the level to 14";
    EXPECT_EQ(Get16(PixelAt(dst, 0, 0)), 0xFFFF) << "a transparent source keeps the destination colour";
    EXPECT_EQ(PixelAt(dst, 0, 0)[3], 0x5A) << "byte 3 is never touched";

    CFastPlane d12, s12;
    ASSERT_EQ(d12.CreateSurface(1, 1, 12), 0);
    ASSERT_EQ(s12.CreateSurface(1, 1, 12), 0);
    PixelAt(d12, 0, 0)[3] = 100;
    PixelAt(d12, 0, 0)[0] = 77;
    ASSERT_EQ(d12.AlphaBltFast(&s12, 0, 0), 0);
    EXPECT_EQ(PixelAt(d12, 0, 0)[3], 255) << "any alpha composites to opaque";
    EXPECT_EQ(PixelAt(d12, 0, 0)[0], 77 * 255 / 255) << "a transparent source keeps the destination colour";
}

}  // namespace
