// Quadrilateral blits and rotation of the software plane, against references
// written here from the geometry: a same-size rectangle copies pixel for
// pixel, swapped corners mirror, a quarter turn moves pixel (i, j) to
// (j, -1 - i) about the pivot, a clipped blit equals the matching part of the
// unclipped one, and folded or out-of-range quads draw nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "image/CpuClass.h"
#include "image/SoftPlane.h"

namespace {

constexpr int kW = 13;
constexpr int kH = 9;

std::vector<uint32_t> Pixels(CSoftPlane& p)
{
    int w = 0, h = 0;
    p.GetSize(&w, &h);
    const uint32_t* px = p.GetImpl()->GetPixels();
    return std::vector<uint32_t>(px, px + static_cast<size_t>(w) * static_cast<size_t>(h));
}

class SoftPlaneQuad : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ForceCpuClassForTesting(GetParam());
        ASSERT_EQ(src.Create(kW, kH), 0);
        ASSERT_EQ(dst.Create(40, 32), 0);
        uint32_t* s = src.GetImpl()->GetPixels();
        for (int i = 0; i < kW * kH; ++i) {
            s[i] = rng() % 4 == 0 ? kKey : static_cast<uint32_t>(rng()) | 1u;
        }
        src.GetImpl()->SetColorKeyRGB(0x12, 0x34, 0x56);
        Refill();
    }
    void TearDown() override { ForceCpuClassForTesting(0); }

    void Refill()
    {
        uint32_t* d = dst.GetImpl()->GetPixels();
        for (int i = 0; i < 40 * 32; ++i) {
            d[i] = static_cast<uint32_t>(rng()) & ~1u;  // never equal to a source pixel but the key
        }
    }

    // dst after the blit must equal `before` except where place(X, Y) names a
    // source pixel (sx, sy) to copy (keyed: not when it is the key).
    void ExpectMapping(const std::vector<uint32_t>& before, bool keyed,
                       const std::function<bool(int, int, int*, int*)>& place, const char* what)
    {
        const auto after = Pixels(dst);
        int failures = 0;
        for (int y = 0; y < 32 && failures < 5; ++y) {
            for (int x = 0; x < 40 && failures < 5; ++x) {
                size_t i = static_cast<size_t>(y * 40 + x);
                uint32_t want = before[i];
                int sx = 0, sy = 0;
                if (place(x, y, &sx, &sy)) {
                    uint32_t s = src.GetImpl()->GetPixel(sx, sy);
                    if (!keyed || s != kKey) {
                        want = s;
                    }
                }
                if (after[i] != want) {
                    ++failures;
                    ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is " << std::hex << after[i]
                                  << " instead of " << want << ": the quad maps the wrong source pixel there";
                }
            }
        }
    }

    static constexpr uint32_t kKey = 0x123456;
    std::mt19937 rng{GetParam() * 101u + 3u};
    CSoftPlane src;
    CSoftPlane dst;
};

// The same-size copy at (5, 4).
bool Identity(int x, int y, int* sx, int* sy)
{
    *sx = x - 5;
    *sy = y - 4;
    return *sx >= 0 && *sx < kW && *sy >= 0 && *sy < kH;
}

TEST_P(SoftPlaneQuad, same_size_rectangles_copy_pixel_for_pixel_in_every_form)
{
    CSoftPlaneImpl* d = dst.GetImpl();
    CSoftPlaneImpl* s = src.GetImpl();
    const QuadPoint dstQuad[4] = {{5, 4}, {5 + kW, 4}, {5, 4 + kH}, {5 + kW, 4 + kH}};
    const QuadPoint srcQuad[4] = {{0, 0}, {kW, 0}, {0, kH}, {kW, kH}};
    const Rect dstRect{5, 4, 5 + kW, 4 + kH};
    struct Form {
        const char* what;
        bool keyed;
        std::function<int()> run;
    };
    const Form forms[] = {
        {"BltQuad", false, [&] { return d->BltQuad(s, srcQuad, dstQuad, nullptr, 1); }},
        {"BltQuadColorKey", true, [&] { return d->BltQuadColorKey(s, srcQuad, dstQuad, nullptr, 1); }},
        {"BltQuadFromRect", false, [&] { return d->BltQuadFromRect(s, nullptr, dstQuad, nullptr); }},
        {"BltQuadToRect", false, [&] { return d->BltQuadToRect(s, srcQuad, &dstRect, nullptr); }},
        {"BltQuadColorKeyFromRect", true, [&] { return d->BltQuadColorKeyFromRect(s, nullptr, dstQuad, nullptr); }},
        {"BltQuadColorKeyToRect", true, [&] { return d->BltQuadColorKeyToRect(s, srcQuad, &dstRect, nullptr); }},
        {"RotateBlt", false, [&] { return d->RotateBlt(s, nullptr, 5, 4, 0, 0x10000, 4, nullptr); }},
        {"RotateBltColorKey", true, [&] { return d->RotateBltColorKey(s, nullptr, 5, 4, 512, 0x10000, 0, nullptr); }},
    };
    for (const Form& f : forms) {
        Refill();
        const auto before = Pixels(dst);
        EXPECT_EQ(f.run(), 0) << f.what << " reports success";
        ExpectMapping(before, f.keyed, Identity, f.what);
    }
}

TEST_P(SoftPlaneQuad, swapped_corners_mirror_the_picture)
{
    const auto before = Pixels(dst);
    const QuadPoint mirrored[4] = {{5 + kW, 4}, {5, 4}, {5 + kW, 4 + kH}, {5, 4 + kH}};
    dst.GetImpl()->BltQuadFromRect(src.GetImpl(), nullptr, mirrored, nullptr);
    ExpectMapping(before, false, [](int x, int y, int* sx, int* sy) {
        *sx = kW - 1 - (x - 5);
        *sy = y - 4;
        return x >= 5 && x < 5 + kW && *sy >= 0 && *sy < kH;
    }, "horizontal mirror");

    Refill();
    const auto before2 = Pixels(dst);
    const QuadPoint flipped[4] = {{5, 4 + kH}, {5 + kW, 4 + kH}, {5, 4}, {5 + kW, 4}};
    dst.GetImpl()->BltQuadColorKeyFromRect(src.GetImpl(), nullptr, flipped, nullptr);
    ExpectMapping(before2, true, [](int x, int y, int* sx, int* sy) {
        *sx = x - 5;
        *sy = kH - 1 - (y - 4);
        return *sx >= 0 && *sx < kW && y >= 4 && y < 4 + kH;
    }, "vertical flip (keyed, inclusive source corners)");
}

TEST_P(SoftPlaneQuad, quarter_turn_moves_each_pixel_about_the_pivot)
{
    // Pivot 0 at (10, 20): source pixel (i, j) lands on (10 + j, 19 - i).
    const auto before = Pixels(dst);
    dst.GetImpl()->RotateBlt(src.GetImpl(), nullptr, 10, 20, 128, 0x10000, 0, nullptr);
    ExpectMapping(before, false, [](int x, int y, int* sx, int* sy) {
        *sx = 19 - y;
        *sy = x - 10;
        return *sx >= 0 && *sx < kW && *sy >= 0 && *sy < kH;
    }, "quarter turn");
}

TEST_P(SoftPlaneQuad, a_clipped_blit_draws_the_matching_part_of_the_unclipped_one)
{
    const Rect clips[] = {{0, 0, 20, 32}, {12, 7, 27, 19}, {-5, 20, 100, 100}, {30, 0, 33, 5}};
    for (int angle : {0, 37, 200, -91}) {
        for (bool keyed : {false, true}) {
            Refill();
            const auto start = Pixels(dst);
            auto run = [&](const Rect* clip) {
                Rect part{1, 1, kW - 1, kH};
                return keyed ? dst.GetImpl()->RotateBltColorKey(src.GetImpl(), &part, 20, 15, angle, 0x18000, 4, clip)
                             : dst.GetImpl()->RotateBlt(src.GetImpl(), &part, 20, 15, angle, 0x18000, 4, clip);
            };
            run(nullptr);
            const auto whole = Pixels(dst);
            EXPECT_NE(whole, start) << "the unclipped rotation must draw something";
            for (const Rect& clip : clips) {
                std::copy(start.begin(), start.end(), dst.GetImpl()->GetPixels());
                run(&clip);
                const auto part = Pixels(dst);
                for (int y = 0; y < 32; ++y) {
                    for (int x = 0; x < 40; ++x) {
                        size_t i = static_cast<size_t>(y * 40 + x);
                        bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                        ASSERT_EQ(part[i], inside ? whole[i] : start[i])
                            << "angle " << angle << ", pixel (" << x << ", " << y
                            << "): clipping must keep exactly the matching part of the unclipped blit";
                    }
                }
            }
        }
    }
}

TEST_P(SoftPlaneQuad, folded_degenerate_and_huge_quads_draw_nothing_and_stay_in_bounds)
{
    CSoftPlaneImpl* d = dst.GetImpl();
    CSoftPlaneImpl* s = src.GetImpl();
    const auto before = Pixels(dst);
    const QuadPoint srcQuad[4] = {{0, 0}, {kW, 0}, {0, kH}, {kW, kH}};
    const QuadPoint folded[4] = {{0, 0}, {30, 20}, {30, 5}, {10, 2}};  // opposite corner second from the top
    const QuadPoint point[4] = {{7, 7}, {7, 7}, {7, 7}, {7, 7}};
    const QuadPoint huge[4] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MAX}};
    const QuadPoint hugeSrc[4] = {{0, 0}, {INT_MAX, 0}, {0, INT_MAX}, {INT_MAX, INT_MAX}};
    const QuadPoint dstQuad[4] = {{5, 4}, {25, 4}, {5, 24}, {25, 24}};
    EXPECT_EQ(d->BltQuad(s, srcQuad, folded, nullptr, 1), 0);
    EXPECT_EQ(d->BltQuad(s, srcQuad, point, nullptr, 0), 0);
    EXPECT_EQ(d->BltQuad(s, srcQuad, huge, nullptr, 1), 0);
    EXPECT_EQ(d->BltQuad(s, hugeSrc, dstQuad, nullptr, 0), 0);
    EXPECT_EQ(d->BltQuadToRect(s, srcQuad, nullptr, nullptr), 0);
    EXPECT_EQ(d->RotateBlt(s, nullptr, 3, 3, INT_MIN, 0, 4, nullptr), 0);
    EXPECT_EQ(d->RotateBltColorKey(s, nullptr, INT_MAX, INT_MIN, INT_MAX, 0x10000, 9, nullptr), 0);
    EXPECT_EQ(Pixels(dst), before) << "folded, point-sized, out-of-range and zero-scale quads must draw nothing";

    EXPECT_EQ(d->RotateBlt(s, nullptr, 3, 3, 77, INT_MAX, 4, nullptr), 0);
    EXPECT_EQ(Pixels(dst), before) << "a zoom of 32768 times leaves the coordinate range and draws nothing";
    // A zoom of 1000 times fits: it draws (a few source pixels over the whole
    // plane), reading only inside the source.
    EXPECT_EQ(d->RotateBlt(s, nullptr, 3, 3, 77, 1000 << 16, 4, nullptr), 0);
    std::copy(before.begin(), before.end(), d->GetPixels());

    // Corners at the limit are accepted and their arithmetic stays exact:
    // the limit square onto itself copies pixel for pixel.
    constexpr int m = CSoftPlaneImpl::kMaxQuadCoord;
    const QuadPoint limit[4] = {{-m, -m}, {m, -m}, {-m, m}, {m, m}};
    d->BltQuad(s, limit, limit, nullptr, 0);
    std::copy(before.begin(), before.end(), d->GetPixels());
    d->BltQuad(s, limit, limit, nullptr, 1);
    ExpectMapping(before, false, [](int x, int y, int* sx, int* sy) {
        *sx = x;
        *sy = y;
        return x < kW && y < kH;
    }, "limit-sized identity");
    std::copy(before.begin(), before.end(), d->GetPixels());

    // A source quad reaching past the source: only places inside it are copied.
    const QuadPoint wide[4] = {{-4, 0}, {kW + 4, 0}, {-4, kH}, {kW + 4, kH}};
    const Rect target{5, 4, 5 + kW + 8, 4 + kH};
    d->BltQuadToRect(s, wide, &target, nullptr);
    ExpectMapping(before, false, [](int x, int y, int* sx, int* sy) {
        *sx = x - 9;
        *sy = y - 4;
        return x >= 5 && x < 5 + kW + 8 && *sx >= 0 && *sx < kW && *sy >= 0 && *sy < kH;
    }, "source quad past the source");
}

INSTANTIATE_TEST_SUITE_P(BothSets, SoftPlaneQuad, ::testing::Values(2, 4));

}  // namespace
