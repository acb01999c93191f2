// Geometry of the blind and rectangle transitions on a recording plane.
#include <gtest/gtest.h>

#include <vector>

#include "TransitionRecord.h"
#include "transition/BlindRectTransitions.h"

namespace {

std::vector<int> Columns(const std::vector<PlaneCall>& calls)
{
    std::vector<int> out;
    for (const PlaneCall& c : calls) {
        out.push_back(c.piece->left);
    }
    return out;
}

TEST(StraightBlind, each_32_levels_open_the_next_column_of_every_group_of_eight)
{
    auto calls = Record(BlindBlt1, 20, 9, 31, 4, 5);
    EXPECT_EQ(Columns(calls), (std::vector<int>{0, 8, 16}));
    EXPECT_EQ(*calls[1].piece, Lthw(8, 0, 1, 9)) << "a column is the full height";
    EXPECT_EQ(calls[1].x, 12);
    EXPECT_EQ(calls[1].y, 5);
    EXPECT_EQ(Columns(Record(BlindBlt1, 20, 9, 32)), (std::vector<int>{0, 1, 8, 9, 16, 17}));
    EXPECT_EQ(Record(BlindBlt1, 20, 9, 224).size(), 20u) << "from level 224 every column is drawn";
    EXPECT_EQ(Columns(Record(BlindBlt2, 20, 9, 1)), (std::vector<int>{7, 15})) << "BlindBlt2 opens from the back";
    EXPECT_EQ(Columns(Record(BlindBlt4, 40, 9, 16)), (std::vector<int>{14, 15, 30, 31}));
}

TEST(StraightBlind, row_blinds_draw_full_width_rows_and_nothing_without_rows)
{
    auto calls = Record(BlindBlt7, 13, 40, 20, 1, 2);
    ASSERT_EQ(calls.size(), 6u);  // rows 0, 1, 16, 17, 32, 33
    EXPECT_EQ(*calls[2].piece, Lthw(0, 16, 13, 1));
    EXPECT_EQ(calls[2].x, 1);
    EXPECT_EQ(calls[2].y, 18);
    EXPECT_TRUE(Record(BlindBlt5, 20, 0, 100).empty()) << "a source of height 0 draws nothing";
    EXPECT_TRUE(Record(BlindBlt1, 0, 20, 100).empty()) << "a source of width 0 draws nothing";
}

TEST(SlantedBlind, runs_move_one_pixel_left_per_row_and_repeat_every_seven_rows)
{
    auto calls = Record(BlindBlt9, 20, 8, 255, 3, 4);
    std::vector<std::vector<std::pair<int, int>>> rows(8);
    for (const PlaneCall& c : calls) {
        rows[c.piece->top].push_back({c.piece->left, c.piece->Width()});
        EXPECT_EQ(c.x, 3 + c.piece->left) << "a run must land where it stands in the picture";
    }
    using Runs = std::vector<std::pair<int, int>>;
    EXPECT_EQ(rows[0], (Runs{{0, 7}, {8, 7}, {16, 4}}));
    EXPECT_EQ(rows[1], (Runs{{0, 6}, {7, 7}, {15, 5}})) << "a run left of the picture keeps its visible part";
    EXPECT_EQ(rows[6], (Runs{{0, 1}, {2, 7}, {10, 7}, {18, 2}}));
    EXPECT_EQ(rows[7], rows[0]) << "the slant repeats every 7 rows";
}

TEST(SlantedBlind, the_lowest_step_draws_only_empty_runs)
{
    for (const PlaneCall& c : Record(BlindBlt9, 40, 10, 20)) {
        EXPECT_TRUE(c.piece->IsEmpty()) << "level 20 must draw nothing visible: " << c;
    }
    for (const PlaneCall& c : Record(BlindBlt10, 40, 10, 15)) {
        EXPECT_TRUE(c.piece->IsEmpty()) << "level 15 must draw nothing visible: " << c;
    }
    auto calls = Record(BlindBlt10, 40, 20, 255);  // L = 15, row shift -(j mod 15)
    EXPECT_EQ(*calls[0].piece, Lthw(0, 0, 15, 1));
    bool found = false;
    for (const PlaneCall& c : calls) {
        if (c.piece->top == 15) {
            EXPECT_EQ(*c.piece, Lthw(0, 15, 15, 1)) << "row 15 restarts at offset 0";
            found = true;
            break;
        }
    }
    EXPECT_TRUE(found);
}

TEST(CellSquares, grow_in_the_corner_of_every_cell_and_are_cut_at_the_edge)
{
    auto calls = Record(RectBlt2, 10, 10, 100, 6, 7);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(*calls[0].piece, Lthw(0, 0, 3, 3));
    EXPECT_EQ(*calls[1].piece, Lthw(8, 0, 2, 3));
    EXPECT_EQ(calls[1].x, 14);
    EXPECT_EQ(*calls[2].piece, Lthw(0, 8, 3, 2));
    EXPECT_EQ(*calls[3].piece, Lthw(8, 8, 2, 2));
    EXPECT_EQ(calls[3].y, 15);
    for (const PlaneCall& c : Record(RectBlt1, 16, 16, 63)) {
        EXPECT_TRUE(c.piece->IsEmpty()) << "RectBlt1 below level 64 shows nothing";
    }
    auto big = Record(RectBlt3, 800, 600, 255);
    EXPECT_EQ(big.size(), 50u * 38u);
    EXPECT_EQ(*big.back().piece, Lthw(784, 592, 15, 8)) << "the last cell row is cut to the 8 rows left";
}

TEST(StraightBlind, first_and_last_columns_on_800_by_600)
{
    auto calls = Record(BlindBlt1, 800, 600, 1);
    ASSERT_EQ(calls.size(), 100u) << "level 1: one column in eight";
    EXPECT_EQ(*calls.front().piece, Lthw(0, 0, 1, 600));
    EXPECT_EQ(*calls.back().piece, Lthw(792, 0, 1, 600));
    calls = Record(BlindBlt1, 800, 600, 128);
    ASSERT_EQ(calls.size(), 500u) << "level 128: five columns in eight";
    EXPECT_EQ(*calls.back().piece, Lthw(796, 0, 1, 600));
    calls = Record(BlindBlt2, 800, 600, 255);
    ASSERT_EQ(calls.size(), 800u);
    EXPECT_EQ(*calls.back().piece, Lthw(799, 0, 1, 600));
}

}  // namespace
