// The in-place effects of the software plane (smoothing, channel fade is in
// soft_plane_alpha_test.cpp) against references written here from the rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "image/CpuClass.h"
#include "image/SoftPlane.h"

namespace {

std::vector<uint32_t> Pixels(CSoftPlane& p)
{
    int w = 0, h = 0;
    p.GetSize(&w, &h);
    const uint32_t* px = p.GetImpl()->GetPixels();
    return std::vector<uint32_t>(px, px + static_cast<size_t>(w) * static_cast<size_t>(h));
}

// Smoothing written from its rule over a copy of the plane: within the area,
// row top stays, rows top+1 .. bottom-2 take (up + down + left + right + 4 x
// centre) / 8 of the original pixels, with the masks that keep every channel
// sum in its byte, and row bottom-1 copies the new row bottom-2.
std::vector<uint32_t> SmoothReference(const std::vector<uint32_t>& in, int w, const Rect& a)
{
    std::vector<uint32_t> out = in;
    auto at = [&](int x, int y) { return in[static_cast<size_t>(y * w + x)]; };
    for (int y = a.top + 1; y < a.bottom - 1; ++y) {
        for (int x = a.left; x < a.right; ++x) {
            uint32_t left = x > a.left ? at(x - 1, y) & 0xFFF8F8F8u : 0;
            uint32_t right = x < a.right - 1 ? at(x + 1, y) & 0xFFF8F8F8u : 0;
            if (x == a.left) left = right = (at(x + 1, y) & 0x7FF8F8F8u);
            if (x == a.right - 1) left = right = (at(x - 1, y) & 0x7FF8F8F8u);
            uint32_t sum = (at(x, y - 1) & 0xFFF8F8F8u) + (at(x, y + 1) & 0xFFF8F8F8u) + left + right +
                           4 * (at(x, y) & 0x3FF8F8F8u);
            out[static_cast<size_t>(y * w + x)] = sum >> 3;
        }
    }
    for (int x = a.left; x < a.right; ++x) {
        out[static_cast<size_t>((a.bottom - 1) * w + x)] = out[static_cast<size_t>((a.bottom - 2) * w + x)];
    }
    return out;
}

class SoftPlaneEffects : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ForceCpuClassForTesting(GetParam());
        ASSERT_EQ(plane.Create(29, 17), 0);
        uint32_t* px = plane.GetImpl()->GetPixels();
        for (int i = 0; i < 29 * 17; ++i) {
            px[i] = rng() % 5 == 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(rng());
        }
    }
    void TearDown() override { ForceCpuClassForTesting(0); }

    std::mt19937 rng{GetParam() * 31u + 5u};
    CSoftPlane plane;
};

TEST_P(SoftPlaneEffects, smooth_effect_matches_the_reference_clipped_or_not)
{
    const Rect clips[] = {{0, 0, 29, 17}, {3, 2, 20, 12}, {-5, -5, 4, 4}, {25, 13, 40, 40}, {10, 0, 14, 17}};
    for (const Rect& clip : clips) {
        const auto before = Pixels(plane);
        Rect area{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, 29), std::min(clip.bottom, 17)};
        EXPECT_EQ(plane.GetImpl()->SmoothEffect(&clip), 0) << "an area of 4 x 4 or more is smoothed";
        EXPECT_EQ(Pixels(plane), SmoothReference(before, 29, area))
            << "smoothing of (" << clip.left << ", " << clip.top << ")-(" << clip.right << ", " << clip.bottom
            << ") differs from the reference";
    }
    const auto before = Pixels(plane);
    EXPECT_EQ(plane.GetImpl()->SmoothEffect(nullptr), 0);
    EXPECT_EQ(Pixels(plane), SmoothReference(before, 29, Rect{0, 0, 29, 17})) << "whole-plane smoothing is wrong";
}

TEST_P(SoftPlaneEffects, smooth_effect_refuses_small_or_empty_areas)
{
    const auto before = Pixels(plane);
    Rect narrow{0, 0, 3, 10};
    Rect low{0, 0, 10, 3};
    Rect outside{40, 0, 50, 10};
    EXPECT_EQ(plane.GetImpl()->SmoothEffect(&narrow), 2) << "an area 3 pixels wide is too small";
    EXPECT_EQ(plane.GetImpl()->SmoothEffect(&low), 2) << "an area 3 pixels high is too small";
    EXPECT_EQ(plane.GetImpl()->SmoothEffect(&outside), 1) << "an area off the plane is empty";
    EXPECT_EQ(Pixels(plane), before) << "a refused smoothing must change nothing";
    CSoftPlane empty;
    EXPECT_EQ(empty.GetImpl()->SmoothEffect(nullptr), 1) << "a plane without pixels has an empty area";
}

TEST_P(SoftPlaneEffects, smooth_effect_keeps_a_flat_colour)
{
    plane.GetImpl()->Clear(0x00F8F8F8, nullptr);
    plane.GetImpl()->SmoothEffect(nullptr);
    for (uint32_t p : Pixels(plane)) {
        ASSERT_EQ(p, 0x00F8F8F8u) << "averaging equal neighbours must give the same colour";
    }
}

INSTANTIATE_TEST_SUITE_P(BothSets, SoftPlaneEffects, ::testing::Values(2, 4));

}  // namespace
