// The alpha-byte, colour and displacement operations of the software plane,
// in both kernel sets, against per-pixel references written here from the
// rules: every pixel inside the (clipped) area follows the rule, every pixel
// outside keeps its old value.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "image/CpuClass.h"
#include "image/DisplacementMap.h"
#include "image/SoftPlane.h"

namespace {

uint32_t Ch(uint32_t p, int c) { return (p >> (8 * c)) & 0xFF; }

std::vector<uint32_t> Pixels(CSoftPlane& p)
{
    int w = 0, h = 0;
    p.GetSize(&w, &h);
    const uint32_t* px = p.GetImpl()->GetPixels();
    return std::vector<uint32_t>(px, px + static_cast<size_t>(w) * static_cast<size_t>(h));
}

void FillRandom(CSoftPlane& p, std::mt19937& rng)
{
    int w = 0, h = 0;
    p.GetSize(&w, &h);
    uint32_t* px = p.GetImpl()->GetPixels();
    const uint32_t edges[] = {0x00000000, 0xFFFFFFFF, 0x01FF00FF, 0xFE000100};
    for (int i = 0; i < w * h; ++i) {
        px[i] = rng() % 6 == 0 ? edges[rng() % 4] : static_cast<uint32_t>(rng());
    }
}

bool Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

Rect Intersect(const Rect* clip, int w, int h)
{
    Rect r = clip ? *clip : Rect{0, 0, w, h};
    return Rect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w), std::min(r.bottom, h)};
}

// Compares a plane with `before` changed by rule(x, y, old) inside area.
void ExpectRule(CSoftPlane& p, const std::vector<uint32_t>& before, const Rect& area,
                const std::function<uint32_t(int, int, uint32_t)>& rule, const char* what)
{
    int w = 0, h = 0;
    p.GetSize(&w, &h);
    const std::vector<uint32_t> after = Pixels(p);
    int failures = 0;
    for (int y = 0; y < h && failures < 5; ++y) {
        for (int x = 0; x < w && failures < 5; ++x) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
            const uint32_t want = Inside(area, x, y) ? rule(x, y, before[i]) : before[i];
            if (after[i] != want) {
                ++failures;
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is " << std::hex << after[i]
                              << " instead of " << want << " (old " << before[i]
                              << "): the rule or the area is wrong";
            }
        }
    }
}

const Rect kClips[] = {{0, 0, 37, 23}, {5, 3, 30, 20}, {-7, -4, 12, 9}, {20, 10, 90, 90}, {40, 0, 50, 23}};

// Runs each test in set A (class 2) and set B/C (class 4).
class SoftPlaneAlphaOps : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ForceCpuClassForTesting(GetParam());
        ASSERT_EQ(plane.Create(37, 23), 0);
        ASSERT_EQ(other.Create(37, 23), 0);
        FillRandom(plane, rng);
        FillRandom(other, rng);
    }
    void TearDown() override { ForceCpuClassForTesting(0); }

    std::mt19937 rng{GetParam() * 7919u};
    CSoftPlane plane;
    CSoftPlane other;
};

TEST_P(SoftPlaneAlphaOps, fade_alpha_scales_the_alpha_byte_and_keeps_the_colours)
{
    for (int level : {0, 1, 77, 128, 255, 256, 128}) {
        for (const Rect* clip : {static_cast<const Rect*>(nullptr), &kClips[1], &kClips[2], &kClips[4]}) {
            FillRandom(plane, rng);
            const auto before = Pixels(plane);
            EXPECT_EQ(plane.FadeAlpha(level, clip), 0) << "FadeAlpha reports success";
            ExpectRule(plane, before, Intersect(clip, 37, 23), [&](int, int, uint32_t p) {
                return ((((p >> 24) * static_cast<uint32_t>(level)) / 256 % 256) << 24) | (p & 0xFFFFFF);
            }, "FadeAlpha");
        }
    }
    plane.GetImpl()->GetPixels()[0] = 0xFF123456;
    plane.GetImpl()->GetPixels()[1] = 0x01ABCDEF;
    plane.FadeAlpha(128);
    EXPECT_EQ(plane.GetImpl()->GetPixels()[0], 0x7F123456u) << "alpha 255 at half level must become 127";
    EXPECT_EQ(plane.GetImpl()->GetPixels()[1], 0x00ABCDEFu) << "alpha 1 at half level must become 0";
}

TEST_P(SoftPlaneAlphaOps, negative_alpha_inverts_the_alpha_byte_and_twice_restores)
{
    for (const Rect* clip : {static_cast<const Rect*>(nullptr), &kClips[1], &kClips[3]}) {
        const auto before = Pixels(plane);
        EXPECT_EQ(plane.NegativeAlpha(clip), 0);
        ExpectRule(plane, before, Intersect(clip, 37, 23),
                   [](int, int, uint32_t p) { return ((255 - (p >> 24)) << 24) | (p & 0xFFFFFF); }, "NegativeAlpha");
        plane.NegativeAlpha(clip);
        EXPECT_EQ(Pixels(plane), before) << "NegativeAlpha twice must give back the plane";
    }
}

TEST_P(SoftPlaneAlphaOps, blt_scale_alpha_copies_the_source_with_scaled_alpha)
{
    // Alternating levels check that the cached table follows the level.
    for (int level : {128, 256, 0, 128, 200}) {
        for (const Rect* clip : {static_cast<const Rect*>(nullptr), &kClips[1], &kClips[2]}) {
            FillRandom(plane, rng);
            FillRandom(other, rng);
            const auto before = Pixels(plane);
            const auto source = Pixels(other);
            EXPECT_EQ(plane.BltScaleAlpha(&other, level, clip), 0);
            ExpectRule(plane, before, Intersect(clip, 37, 23), [&](int x, int y, uint32_t) {
                uint32_t s = source[static_cast<size_t>(y) * 37 + static_cast<size_t>(x)];
                return (((s >> 24) * static_cast<uint32_t>(level) / 256 % 256) << 24) | (s & 0xFFFFFF);
            }, "BltScaleAlpha");
        }
    }
}

TEST_P(SoftPlaneAlphaOps, alpha_operations_refuse_a_source_of_another_size)
{
    CSoftPlane small;
    ASSERT_EQ(small.Create(36, 23), 0);
    const auto before = Pixels(plane);
    EXPECT_EQ(plane.BltScaleAlpha(&small, 128), 1) << "a narrower source must be refused";
    EXPECT_EQ(plane.MakeAlphaFromPlane(&small, 0, 255, 0, 255), 1) << "a narrower source must be refused";
    EXPECT_EQ(plane.MakeAlphaFromPlane(nullptr, 0, 255, 0, 255), 1) << "no source must be refused";
    EXPECT_EQ(Pixels(plane), before) << "a refused call must change nothing";
}

// The ramp written from its description: alphaLo up to lo, alphaHi from hi
// on, linear (truncating) in between; the top byte keeps the value mod 256.
uint32_t RampReference(int b, int lo, int hi, int alphaLo, int alphaHi)
{
    int64_t a = 0;
    if (b >= hi) {
        a = alphaHi;
    } else if (b <= lo) {
        a = alphaLo;
    } else {
        a = alphaLo + int64_t{alphaHi - alphaLo} * (b - lo) / (hi - lo);
    }
    return static_cast<uint32_t>(a & 0xFF);
}

TEST_P(SoftPlaneAlphaOps, make_alpha_from_plane_maps_the_blue_byte_through_the_ramp)
{
    struct Ramp {
        int lo, hi, alphaLo, alphaHi;
    };
    const Ramp ramps[] = {{64, 192, 0, 255}, {100, 100, 10, 200}, {50, 150, 255, 0}, {-5, 300, 0, 255},
                          {200, 20, 7, 99},  {-10, -3, 1, 2},     {0, 255, 0, 511}};
    for (const Ramp& r : ramps) {
        for (const Rect* clip : {static_cast<const Rect*>(nullptr), &kClips[2], &kClips[3]}) {
            FillRandom(plane, rng);
            const auto before = Pixels(plane);
            const auto source = Pixels(other);
            EXPECT_EQ(plane.MakeAlphaFromPlane(&other, r.lo, r.hi, r.alphaLo, r.alphaHi, clip), 0);
            ExpectRule(plane, before, Intersect(clip, 37, 23), [&](int x, int y, uint32_t p) {
                int b = static_cast<int>(source[static_cast<size_t>(y) * 37 + static_cast<size_t>(x)] & 0xFF);
                return (RampReference(b, r.lo, r.hi, r.alphaLo, r.alphaHi) << 24) | (p & 0xFFFFFF);
            }, "MakeAlphaFromPlane");
        }
    }
    // The worked example: 64..192 onto 0..255.
    uint32_t* s = other.GetImpl()->GetPixels();
    s[0] = 64;
    s[1] = 128;
    s[2] = 192;
    plane.MakeAlphaFromPlane(&other, 64, 192, 0, 255);
    const uint32_t* d = plane.GetImpl()->GetPixels();
    EXPECT_EQ(d[0] >> 24, 0u) << "blue 64 must give alpha 0";
    EXPECT_EQ(d[1] >> 24, 127u) << "blue 128 must give alpha 127";
    EXPECT_EQ(d[2] >> 24, 255u) << "blue 192 must give alpha 255";
}

TEST_P(SoftPlaneAlphaOps, add_and_sub_color_saturate_each_channel_and_keep_alpha)
{
    CSoftPlaneImpl* impl = plane.GetImpl();
    // A plane wider than the SIMD chunk with an odd tail.
    CSoftPlane wide;
    ASSERT_EQ(wide.Create(150, 5), 0);
    for (CSoftPlane* p : {&plane, &wide}) {
        int w = 0, h = 0;
        p->GetSize(&w, &h);
        for (uint32_t colour : {0x000000u, 0xFFFFFFu, 0x80017Fu, 0x00FF00u, 0xAB102030u}) {
            for (const Rect* rect : {static_cast<const Rect*>(nullptr), &kClips[1], &kClips[2], &kClips[3]}) {
                for (bool sub : {false, true}) {
                    FillRandom(*p, rng);
                    const auto before = Pixels(*p);
                    int rc = sub ? p->GetImpl()->SubColor(colour, rect) : p->GetImpl()->AddColor(colour, rect);
                    EXPECT_EQ(rc, Intersect(rect, w, h).IsEmpty() ? 1 : 0)
                        << "1 exactly when nothing of the rect lies on the plane";
                    ExpectRule(*p, before, Intersect(rect, w, h), [&](int, int, uint32_t q) {
                        uint32_t out = q & 0xFF000000u;
                        for (int c = 0; c < 3; ++c) {
                            int v = static_cast<int>(Ch(q, c)) + (sub ? -1 : 1) * static_cast<int>(Ch(colour, c));
                            out |= static_cast<uint32_t>(std::clamp(v, 0, 255)) << (8 * c);
                        }
                        return out;
                    }, sub ? "SubColor" : "AddColor");
                }
            }
        }
    }
    EXPECT_EQ(impl->AddColor(0, &kClips[1]), 0) << "adding black is a valid no-op";
    const auto before = Pixels(plane);
    Rect backwards{10, 0, 5, 10};
    Rect outside{40, 0, 60, 10};
    Rect flat{3, 4, 9, 4};
    EXPECT_EQ(impl->AddColor(0x101010, &backwards), 1) << "left beyond right must report nothing to do";
    EXPECT_EQ(impl->SubColor(0x101010, &outside), 1) << "a rect off the plane must report nothing to do";
    EXPECT_EQ(impl->AddColor(0x101010, &flat), 1) << "an empty rect must report nothing to do";
    EXPECT_EQ(Pixels(plane), before) << "a refused colour operation must change nothing";
    EXPECT_EQ(impl->work().sl, 5) << "a refused call must leave the last worked area in the work area";
}

// DisplaceBlt written from its description, with the bounds the map and the
// source give: blit position (u, v) = (X - x, Y - y) inside the blit (the part
// of srcRect on the source) and the map takes the source pixel displaced by
// the entry when it lies in the source.
std::vector<uint32_t> DisplaceReference(const std::vector<uint32_t>& dst, int dw, int dh,
                                        const std::vector<uint32_t>& src, int sw, int sh, const DisplacementMap& map,
                                        int x, int y, const Rect* srcRect, const Rect* clip)
{
    std::vector<uint32_t> out = dst;
    Rect sr = srcRect ? *srcRect : Rect{0, 0, sw, sh};
    Rect area = Intersect(clip, dw, dh);
    for (int Y = area.top; Y < area.bottom; ++Y) {
        for (int X = area.left; X < area.right; ++X) {
            int64_t u = int64_t{X} - x;
            int64_t v = int64_t{Y} - y;
            if (u < 0 || v < 0 || u >= sr.Width() || v >= sr.Height() || u >= map.GetWidth() || v >= map.GetHeight()) {
                continue;
            }
            // Like every 1:1 blit, only the part of srcRect on the source is drawn.
            if (sr.left + u < 0 || sr.top + v < 0 || sr.left + u >= sw || sr.top + v >= sh) {
                continue;
            }
            const DisplacementEntry& e = map.GetRows()[v][u];
            int64_t sx = sr.left + u + e.dx;
            int64_t sy = sr.top + v + e.dy;
            if (sx < 0 || sy < 0 || sx >= sw || sy >= sh) {
                continue;
            }
            out[static_cast<size_t>(Y * dw + X)] = src[static_cast<size_t>(sy * sw + sx)];
        }
    }
    return out;
}

TEST_P(SoftPlaneAlphaOps, displace_blt_matches_the_reference_clipped_or_not)
{
    CSoftPlane src;
    ASSERT_EQ(src.Create(20, 14), 0);
    struct Case {
        int mapW, mapH, x, y;
        Rect srcRect;
        bool useSrcRect;
        Rect clip;
        bool useClip;
    };
    const Case cases[] = {
        {20, 14, 3, 2, {}, false, {}, false},          {20, 14, -4, -3, {}, false, {}, false},
        {20, 14, 30, 15, {}, false, {}, false},        {12, 9, 5, 5, {4, 3, 16, 12}, true, {}, false},
        {20, 14, 3, 2, {}, false, {6, 4, 17, 12}, true}, {8, 5, 0, 0, {}, false, {}, false},
        {25, 20, 2, 2, {-3, -2, 22, 17}, true, {1, 1, 30, 20}, true},
    };
    for (const Case& c : cases) {
        DisplacementMap map(c.mapW, c.mapH);
        for (int v = 0; v < c.mapH; ++v) {
            for (int u = 0; u < c.mapW; ++u) {
                map.At(u, v) = rng() % 10 == 0 ? DisplacementEntry{INT_MAX, INT_MIN}
                                               : DisplacementEntry{static_cast<int>(rng() % 9) - 4,
                                                                   static_cast<int>(rng() % 9) - 4};
            }
        }
        FillRandom(plane, rng);
        FillRandom(src, rng);
        const auto want = DisplaceReference(Pixels(plane), 37, 23, Pixels(src), 20, 14, map, c.x, c.y,
                                            c.useSrcRect ? &c.srcRect : nullptr, c.useClip ? &c.clip : nullptr);
        EXPECT_EQ(plane.GetImpl()->DisplaceBlt(src.GetImpl(), &map, c.x, c.y, c.useSrcRect ? &c.srcRect : nullptr,
                                               c.useClip ? &c.clip : nullptr),
                  0);
        EXPECT_EQ(Pixels(plane), want) << "DisplaceBlt at (" << c.x << ", " << c.y << ") with a " << c.mapW << "x"
                                       << c.mapH << " map differs from the reference";
    }
}

TEST_P(SoftPlaneAlphaOps, displace_blt_with_zero_map_is_a_blt_and_unit_map_shifts_left)
{
    CSoftPlane src;
    ASSERT_EQ(src.Create(20, 14), 0);
    FillRandom(src, rng);
    DisplacementMap map(20, 14);
    CSoftPlane copy;
    ASSERT_EQ(copy.Create(37, 23), 0);
    const auto start = Pixels(plane);
    std::copy(start.begin(), start.end(), copy.GetImpl()->GetPixels());
    plane.GetImpl()->DisplaceBlt(src.GetImpl(), &map, 4, 3, nullptr, nullptr);
    copy.Blt(&src, 4, 3);
    EXPECT_EQ(Pixels(plane), Pixels(copy)) << "a map of (0, 0) must draw what a 1:1 Blt draws";

    for (int v = 0; v < 14; ++v) {
        for (int u = 0; u < 20; ++u) {
            map.At(u, v) = {1, 0};
        }
    }
    plane.GetImpl()->DisplaceBlt(src.GetImpl(), &map, 4, 3, nullptr, nullptr);
    for (int u = 0; u < 19; ++u) {
        EXPECT_EQ(plane.GetImpl()->GetPixel(4 + u, 5), src.GetImpl()->GetPixel(u + 1, 2))
            << "a map of (1, 0) must shift the picture one pixel left";
    }
    EXPECT_EQ(plane.GetImpl()->GetPixel(4 + 19, 5), copy.GetImpl()->GetPixel(4 + 19, 5))
        << "the last column points outside the source and must stay as it was";
    EXPECT_EQ(plane.GetImpl()->DisplaceBlt(src.GetImpl(), nullptr, 0, 0, nullptr, nullptr), 0)
        << "without a map nothing is drawn";
}

TEST_P(SoftPlaneAlphaOps, reserved_blt_does_nothing)
{
    const auto before = Pixels(plane);
    EXPECT_EQ(plane.GetImpl()->ReservedBlt(other.GetImpl(), 0, 0, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(Pixels(plane), before) << "the reserved entry must not draw";
}

TEST_P(SoftPlaneAlphaOps, fade_effect_scales_the_colours_and_clears_alpha)
{
    for (int factor : {256, 0, 100, 255, 100, 300, -5}) {
        for (const Rect* clip : {static_cast<const Rect*>(nullptr), &kClips[1], &kClips[2]}) {
            FillRandom(plane, rng);
            const auto before = Pixels(plane);
            EXPECT_EQ(plane.FadeEffect(factor, clip), 0);
            const uint32_t f = static_cast<uint32_t>(std::clamp(factor, 0, 256));
            ExpectRule(plane, before, Intersect(clip, 37, 23), [&](int, int, uint32_t p) {
                return ((Ch(p, 2) * f / 256) << 16) | ((Ch(p, 1) * f / 256) << 8) | (Ch(p, 0) * f / 256);
            }, "FadeEffect");
        }
    }
}

TEST_P(SoftPlaneAlphaOps, operations_on_an_empty_plane_draw_nothing)
{
    CSoftPlane empty;
    EXPECT_EQ(empty.FadeAlpha(10), 0) << "an empty plane has an empty area";
    EXPECT_EQ(empty.NegativeAlpha(), 0);
    EXPECT_EQ(empty.FadeEffect(10), 0);
    EXPECT_EQ(empty.GetImpl()->AddColor(0x10, nullptr), 1) << "an empty plane has nothing to colour";
    EXPECT_EQ(plane.BltScaleAlpha(&empty, 10), 1) << "an empty source differs in size";
}

INSTANTIATE_TEST_SUITE_P(BothSets, SoftPlaneAlphaOps, ::testing::Values(2, 4));

}  // namespace
