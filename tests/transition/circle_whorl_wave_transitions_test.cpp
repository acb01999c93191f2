// Geometry of the circle, whorl, wave and blend transitions on a recording plane.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "TransitionRecord.h"
#include "transition/CircleWhorlWaveTransitions.h"

namespace {

TEST(Circle, centred_disc_at_level_1_is_four_short_rows)
{
    auto calls = Record(CircleBlt5, 800, 600, 1, 10, 20);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(*calls[0].piece, Lthw(399, 298, 2, 1));
    EXPECT_EQ(*calls[1].piece, Lthw(398, 299, 4, 1));
    EXPECT_EQ(*calls[2].piece, Lthw(398, 300, 4, 1));
    EXPECT_EQ(*calls[3].piece, Lthw(398, 301, 4, 1));
    EXPECT_EQ(calls[0].x, 10 + 399);
    EXPECT_EQ(calls[0].y, 20 + 298);
    EXPECT_TRUE(Record(CircleBlt5, 4, 4, 20).empty()) << "a radius of 0 draws nothing";
}

TEST(Circle, top_centred_disc_walks_rows_from_the_top)
{
    auto calls = Record(CircleBlt1, 800, 600, 128);
    ASSERT_EQ(calls.size(), 360u) << "D = 1442, d = 721, r = 360: rows 0 to 359";
    EXPECT_EQ(*calls[0].piece, Lthw(40, 0, 720, 1));
    EXPECT_EQ(calls.back().piece->top, 359);
}

TEST(Circle, bottom_centred_disc_never_draws_row_0_at_level_255_on_10_by_10)
{
    auto calls = Record(CircleBlt2, 10, 10, 255);
    std::set<int> rows;
    for (const PlaneCall& c : calls) {
        if (!c.piece->IsEmpty()) {
            rows.insert(c.piece->top);
            EXPECT_EQ(c.piece->Width(), 10) << "rows 9 down to 1 are full width: " << c;
        }
    }
    EXPECT_EQ(rows, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    rows.clear();
    for (const PlaneCall& c : Record(CircleBlt1, 10, 10, 255)) {
        if (!c.piece->IsEmpty()) {
            rows.insert(c.piece->top);
        }
    }
    EXPECT_EQ(rows.size(), 10u) << "CircleBlt1 draws rows 0 to 9";
}

TEST(Circle, left_centred_disc_redraws_row_0_for_every_row_above_the_picture)
{
    auto calls = Record(CircleBlt3, 10, 10, 255);
    std::vector<int> row0;
    int belowPicture = 0;
    for (const PlaneCall& c : calls) {
        if (c.piece->top == 0 && !c.piece->IsEmpty()) {
            row0.push_back(c.piece->Width());
        }
        if (c.piece->IsEmpty()) {
            ++belowPicture;
        }
    }
    EXPECT_EQ(row0, (std::vector<int>{3, 5, 6, 7, 8, 9})) << "row 0 is drawn with each clamped row's piece";
    EXPECT_EQ(belowPicture, 5) << "loop rows 10 to 14 draw nothing";
    calls = Record(CircleBlt3, 800, 600, 1);
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].piece->Width(), 0) << "the first piece at level 1 is empty";
    const int widths[5] = {2, 2, 3, 2, 2};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(*calls[i + 1].piece, Lthw(0, 298 + i, widths[i], 1));
    }
    calls = Record(CircleBlt4, 800, 600, 1);
    EXPECT_EQ(*calls[3].piece, Lthw(797, 300, 3, 1)) << "the right-centred disc hugs the right edge";
}

TEST(Whorl, single_pixels_follow_the_spiral_steps)
{
    auto calls = Record(WhorlBlt1, 9, 9, 15);
    std::set<std::pair<int, int>> cells;
    for (const PlaneCall& c : calls) {
        EXPECT_EQ(c.piece->Width(), 1);
        cells.insert({c.piece->left, c.piece->top});
    }
    std::set<std::pair<int, int>> expected;
    for (int v = 0; v < 9; v += 4) {
        for (int u = 0; u < 9; u += 4) {
            expected.insert({u, v});
        }
    }
    EXPECT_EQ(cells, expected) << "level 15: exactly the pixels at multiples of 4";
    EXPECT_EQ(Record(WhorlBlt1, 9, 9, 16).size(), 9u + 6u) << "level 16 adds the pixels one to the right";
    calls = Record(WhorlBlt2, 9, 9, 15);
    for (const PlaneCall& c : calls) {
        EXPECT_EQ(c.piece->left % 4, 1);
        EXPECT_EQ(c.piece->top % 4, 1) << "the outward spiral starts at row 1, column 1";
    }
    EXPECT_EQ(calls.size(), 4u);
}

TEST(Whorl, eight_pixel_cells_at_level_200_leave_three_cells_of_the_group)
{
    auto calls = Record(WhorlBlt7, 36, 36, 200);
    std::set<std::pair<int, int>> missing;
    for (int v = 0; v < 32; v += 8) {
        for (int u = 0; u < 32; u += 8) {
            missing.insert({u, v});
        }
    }
    int edgeCells = 0;
    for (const PlaneCall& c : calls) {
        missing.erase({c.piece->left, c.piece->top});
        if (c.piece->left == 32 || c.piece->top == 32) {
            ++edgeCells;
            EXPECT_TRUE(c.piece->left != 32 || c.piece->Width() == 4) << "edge cells are cut to 4 pixels";
            EXPECT_TRUE(c.piece->top != 32 || c.piece->Height() == 4) << "edge cells are cut to 4 pixels";
        }
    }
    EXPECT_EQ(missing, (std::set<std::pair<int, int>>{{16, 8}, {8, 16}, {16, 16}}));
    EXPECT_EQ(edgeCells, 9) << "all cells of column 32 and row 32 are drawn";
}

TEST(Wave, rows_shift_by_the_cosine_scaled_by_the_remaining_level)
{
    auto calls = Record(WaveBlt2, 10, 300, 1, 600, 0);
    EXPECT_EQ(calls[0].x, 600 - 508);
    EXPECT_EQ(calls[128].x, 600);
    EXPECT_EQ(calls[256].x, 600 + 508);
    EXPECT_EQ(*calls[256].piece, Lthw(0, 256, 10, 1)) << "wave rows are whole rows";
    calls = Record(WaveBlt2, 10, 300, 254, 600, 0);
    EXPECT_EQ(calls[0].x, 598);
    EXPECT_EQ(calls[128].x, 600);
    EXPECT_EQ(calls[256].x, 602);
    calls = Record(WaveBlt3, 10, 40, 128);
    EXPECT_EQ(calls[0].x, 127);
    EXPECT_EQ(calls[16].x, 0);
    EXPECT_EQ(calls[32].x, -127);
    EXPECT_EQ(Record(WaveBlt3, 10, 40, 1)[8].x, 179);
    EXPECT_EQ(Record(WaveBlt4, 10, 40, 1)[8].x, -180) << "the shift rounds toward minus infinity";
    for (const PlaneCall& c : Record(WaveBlt4, 10, 40, 255)) {
        EXPECT_EQ(c.x, 0) << "at level 255 every row lands in place";
    }
}

TEST(Blend, is_one_blend_with_the_level_as_its_factor)
{
    const char* const ops[4] = {"BlendBlt", "BlendBltColorKey", "AlphaBltLevel", "BltLevel"};
    for (uint32_t mode = 0; mode < 4; ++mode) {
        RecordingPlane dst(800, 600);
        RecordingPlane src(100, 100);
        dst.result = 2;
        EXPECT_EQ(BlendBlt1(&dst, &src, 3, 4, 128, mode, 17, nullptr), 2) << "the blend's result is returned";
        ASSERT_EQ(dst.calls.size(), 1u);
        EXPECT_EQ(dst.calls[0].op, ops[mode]);
        EXPECT_EQ(dst.calls[0].level, 128) << "mode " << mode << " must blend by the level, not modeArg";
        EXPECT_FALSE(dst.calls[0].piece.has_value());
    }
    RecordingPlane dst(800, 600);
    RecordingPlane src(100, 100);
    EXPECT_EQ(BlendBlt1(&dst, &src, 0, 0, 300, 0, 255, nullptr), 0);
    EXPECT_EQ(dst.calls.at(0).op, "Blt");
    EXPECT_EQ(BlendBlt1(&dst, &src, 0, 0, 50, 9, 255, nullptr), -1);
    EXPECT_EQ(dst.calls.size(), 1u) << "mode 9 drew something";
}

TEST(Circle, first_and_last_rows_of_the_full_centred_disc_on_800_by_600)
{
    // Level 255: d = 1394, r = 697, R2 = 485809; rows -397 to 996.
    auto calls = Record(CircleBlt5, 800, 600, 255);
    ASSERT_EQ(calls.size(), 1394u);
    EXPECT_EQ(*calls.front().piece, Lthw(400, 0, 0, 1)) << "row -397 is clamped to row 0 with its empty chord";
    EXPECT_EQ(*calls.back().piece, Lthw(363, 996, 74, 600 - 996)) << "row 996 lies below the picture";
    EXPECT_TRUE(calls.back().piece->IsEmpty());
    calls = Record(CircleBlt5, 800, 600, 128);  // d = 700, r = 350: rows -50 to 649
    EXPECT_EQ(*calls[50].piece, Lthw(220, 0, 360, 1)) << "row 0 in its own turn";
}

}  // namespace
