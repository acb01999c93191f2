// Geometry of the cut-in transitions, piece by piece on a recording plane.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "TransitionRecord.h"
#include "frame/CRand.h"
#include "transition/CutInTransitions.h"

namespace {

struct Lcg {
    uint32_t state;
    int Next255()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF) & 255;
    }
};

TEST(CutInDissolve, draws_exactly_the_blocks_whose_random_byte_passes_the_level)
{
    const int w = 10, h = 5;  // 3 x 3 blocks, the last column and row cut
    for (int level : {1, 100, 255}) {
        crt::srand(99);
        auto calls = Record(CutInBlt3, w, h, level, 20, 30);
        Lcg ref{99};
        size_t next = 0;
        for (int by = 0; by < h; by += 2) {
            for (int bx = 0; bx < w; bx += 4) {
                if (ref.Next255() > level) {
                    continue;
                }
                ASSERT_LT(next, calls.size()) << "level " << level << ": a block that passed was not drawn";
                EXPECT_EQ(*calls[next].piece, Lthw(bx, by, std::min(4, w - bx), std::min(2, h - by)))
                    << "level " << level << ": block (" << bx << ", " << by << ") wrong or not cut at the edge";
                EXPECT_EQ(calls[next].x, 20 + bx);
                EXPECT_EQ(calls[next].y, 30 + by);
                ++next;
            }
        }
        EXPECT_EQ(next, calls.size()) << "level " << level << ": blocks were drawn that did not pass";
    }
    crt::srand(1);
    EXPECT_EQ(Record(CutInBlt3, 400, 300, 255).size(), 100u * 150u) << "level 255 draws every block";
}

TEST(CutInDissolve, top_first_threshold_is_253_at_the_top_and_2_at_the_bottom_at_level_128)
{
    // One block per row: the drawn rows must be exactly those whose byte of
    // the sequence passes the row's threshold.
    const int h = 100;
    crt::srand(5);
    auto calls = Record(CutInBlt4, 4, h, 128);
    Lcg ref{5};
    size_t next = 0;
    for (int by = 0; by < h; by += 2) {
        const int t = ((h - by - 1) * 256) / h + 2 * 128 - 256;
        if (by == 0) {
            EXPECT_EQ(t, 253);
        }
        if (by == 98) {
            EXPECT_EQ(t, 2);
        }
        if (ref.Next255() <= t) {
            ASSERT_LT(next, calls.size());
            EXPECT_EQ(calls[next].piece->top, by) << "block row " << by << " should have passed its threshold";
            ++next;
        }
    }
    EXPECT_EQ(next, calls.size()) << "a block row was drawn past its threshold";
}

TEST(CutInJitter, settled_blocks_use_one_rand_and_unsettled_ones_three)
{
    // One block of 4 x 2 on a 4 x 2 source: an unsettled block never shifts
    // (its shift would leave the source) and is drawn in place.
    for (int level : {229, 230}) {
        crt::srand(31);
        auto calls = Record(CutInBlt2, 4, 2, level, 10, 10);
        Lcg ref{31};
        const bool settled = ref.Next255() <= level;
        if (!settled) {
            ref.Next255();
            ref.Next255();
        }
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(*calls[0].piece, Lthw(0, 0, 4, 2)) << "a shift that leaves the source must fall back to 0";
        EXPECT_EQ(crt::rand() & 255, ref.Next255()) << "level " << level << ": wrong number of rand() calls";
    }
}

TEST(CutInJitter, an_unsettled_block_shows_the_picture_shifted_by_less_than_the_range)
{
    crt::srand(3);
    auto calls = Record(CutInBlt2, 64, 32, 1, 0, 0);  // almost all unsettled, J = 10
    int shifted = 0;
    for (const PlaneCall& c : calls) {
        const int ox = c.piece->left - c.x;
        const int oy = c.piece->top - c.y;
        EXPECT_TRUE(ox >= 0 && ox < 10 && oy >= 0 && oy < 10) << "shift out of range: " << c;
        shifted += (ox != 0 || oy != 0);
    }
    EXPECT_GT(shifted, 0) << "no unsettled block was shifted at level 1";
}

TEST(CutInLineJitter, every_row_lands_in_place_at_level_255)
{
    auto calls = Record(CutInBlt1, 50, 7, 255, 11, 12);
    ASSERT_EQ(calls.size(), 7u);
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(*calls[r].piece, Lthw(0, r, 50, 1));
        EXPECT_EQ(calls[r].x, 11) << "row " << r << " jittered at level 255";
        EXPECT_EQ(calls[r].y, 12 + r);
    }
    crt::srand(8);
    calls = Record(CutInBlt1, 50, 200, 1);
    for (const PlaneCall& c : calls) {
        EXPECT_TRUE(c.x >= -127 && c.x <= 127) << "level 1 offsets lie in -127..127: " << c;
    }
}

TEST(CutInSquare, opens_from_the_centre_and_the_corners)
{
    auto calls = Record(CutInBlt8, 640, 480, 128, 1, 2);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(*calls[0].piece, Lthw(160, 80, 320, 320));
    EXPECT_EQ(calls[0].x, 161);
    EXPECT_EQ(calls[0].y, 82);
    calls = Record(CutInBlt12, 640, 480, 128);
    EXPECT_EQ(*calls[0].piece, Lthw(320, 160, 320, 320)) << "bottom-right square";
    calls = Record(CutInBlt10, 640, 480, 255);
    EXPECT_EQ(*calls[0].piece, Lthw(3, 0, 637, 480)) << "a square taller than the picture is cut";
    calls = Record(CutInBlt11, 100, 800, 200);  // s = 625 > w: left clamp keeps the width, then cuts it
    EXPECT_EQ(*calls[0].piece, Lthw(0, 175, 100, 625));
    calls = Record(CutInBlt9, 100, 0, 200);
    ASSERT_EQ(calls.size(), 1u) << "the squares run no height test";
    EXPECT_TRUE(calls[0].piece->IsEmpty());
}

TEST(CutInInterlace, even_rows_from_the_left_and_odd_rows_from_one_column_earlier_on_the_right)
{
    auto calls = Record(CutInBlt13, 640, 3, 128);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(*calls[0].piece, Lthw(0, 0, 320, 1));
    EXPECT_EQ(*calls[1].piece, Lthw(319, 1, 321, 1)) << "odd rows start at w - s - 1";
    EXPECT_EQ(calls[1].x, 319);
    EXPECT_EQ(*calls[2].piece, Lthw(0, 2, 320, 1));
    EXPECT_TRUE(calls[3].piece->IsEmpty()) << "the odd row past the last row is empty";
    calls = Record(CutInBlt14, 3, 640, 128, 5, 6);
    EXPECT_EQ(*calls[0].piece, Lthw(0, 0, 1, 320));
    EXPECT_EQ(*calls[1].piece, Lthw(1, 319, 1, 321));
    EXPECT_EQ(calls[1].x, 6);
    EXPECT_EQ(calls[1].y, 6 + 319);
}

TEST(CutInInterlace, two_phase_wipe_starts_its_second_rows_after_the_midpoint)
{
    auto calls = Record(CutInBlt15, 64, 12, 128);
    std::set<int> rows;
    for (const PlaneCall& c : calls) {
        if (!c.piece->IsEmpty()) {
            rows.insert(c.piece->top);
        }
    }
    EXPECT_EQ(rows, (std::set<int>{0, 2, 4, 6, 8, 10})) << "at 128 only the first phase runs";
    calls = Record(CutInBlt15, 640, 12, 129);  // s2 = 5
    rows.clear();
    for (const PlaneCall& c : calls) {
        if (!c.piece->IsEmpty()) {
            rows.insert(c.piece->top);
        }
    }
    EXPECT_EQ(rows.size(), 12u) << "at 129 the odd rows start to come in";
    calls = Record(CutInBlt16, 12, 64, 200);
    EXPECT_EQ(*calls.back().piece, Lthw(11, 64 - 36 - 1, 1, 37)) << "column 11 of phase 2 from the bottom";
}

TEST(CutInCircle, draws_blocks_inside_the_random_rim_of_a_growing_circle)
{
    const int w = 40, h = 30, level = 128;
    crt::srand(17);
    auto calls = Record(CutInBlt17, w, h, level);
    Lcg ref{17};
    const double radius = ((w + h) * level) >> 8;
    size_t next = 0;
    for (int by = 0; by < h; by += 2) {
        for (int bx = 0; bx < w; bx += 2) {
            const int r = ref.Next255();
            const double d = std::sqrt(double((2 * bx - w) * (2 * bx - w) + (2 * by - h) * (2 * by - h)));
            if (r <= radius - d) {
                ASSERT_LT(next, calls.size());
                EXPECT_EQ(*calls[next].piece, Lthw(bx, by, 2, 2));
                ++next;
            }
        }
    }
    EXPECT_EQ(next, calls.size()) << "a block outside its rim was drawn";
}

TEST(CutInTorn, front_rows_are_displaced_by_ninths_and_thirds_and_skipped_outside)
{
    auto calls = Record(CutInBlt18, 640, 100, 128, 10, 0);
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(*calls[0].piece, Lthw(0, 0, 640, 50));
    const int shift[6] = {-71, 71, -142, 142, -213, 213};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(*calls[k + 1].piece, Lthw(0, 50 + k, 640, 1));
        EXPECT_EQ(calls[k + 1].x, 10 + shift[k]) << "edge row " << k;
        EXPECT_EQ(calls[k + 1].y, 50 + k);
    }
    calls = Record(CutInBlt18, 640, 600, 255);
    ASSERT_EQ(calls.size(), 4u) << "only rows 597-599 of the six lie inside the picture";
    EXPECT_EQ(calls[3].piece->top, 599);
    calls = Record(CutInBlt19, 640, 100, 128);
    EXPECT_EQ(*calls[0].piece, Lthw(0, 50, 640, 50));
    EXPECT_EQ(calls[1].piece->top, 49);
    EXPECT_EQ(calls[1].x, -71);
    EXPECT_EQ(calls[6].piece->top, 44);
}

}  // namespace
