// Geometry of the slit-curtain and tensile transitions on a recording plane.
#include <gtest/gtest.h>

#include "TransitionRecord.h"
#include "transition/SlitCurtainTransitions.h"

namespace {

TEST(SlitCurtain, strips_open_one_unit_behind_each_other)
{
    // 640 wide, strips of 16: 41 strips, T = (57 * 128) / 256 = 28 at level 128.
    auto calls = Record(SlitCurtainBlt1, 640, 480, 128, 100, 60);
    ASSERT_EQ(calls.size(), 28u) << "strips from 28 on must not be drawn";
    for (int i = 0; i < 28; ++i) {
        const int open = std::min(28 - i, 16);
        EXPECT_EQ(*calls[i].piece, (Rect{i * 16, 0, i * 16 + open, 480})) << "strip " << i;
        EXPECT_EQ(calls[i].x, 100 + i * 16);
        EXPECT_EQ(calls[i].y, 60);
    }
    EXPECT_EQ(calls[12].piece->Width(), 16) << "strip 12 is full";
    EXPECT_EQ(calls[13].piece->Width(), 15);
    EXPECT_EQ(calls[27].piece->Width(), 1);
    calls = Record(SlitCurtainBlt1, 640, 480, 255);
    ASSERT_EQ(calls.size(), 41u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(calls[i].piece->Width(), 16) << "at 255 every strip of a 640-wide picture is full";
    }
    EXPECT_TRUE(calls[40].piece->IsEmpty()) << "the strip starting at column 640 is empty";
}

TEST(SlitCurtain, the_strip_straddling_the_edge_is_cut_at_it)
{
    auto calls = Record(SlitCurtainBlt1, 630, 10, 255);
    ASSERT_EQ(calls.size(), 40u);
    EXPECT_EQ(*calls[39].piece, (Rect{624, 0, 630, 10})) << "the last column must open with its strip";
}

TEST(SlitCurtain, right_hand_strips_open_leftward_from_the_right_edge)
{
    auto calls = Record(SlitCurtainBlt2, 64, 8, 40, 3, 4);  // n = 5, T = (21 * 40) / 256 = 3
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(*calls[0].piece, (Rect{61, 0, 64, 8})) << "strip 0 shows its right-most g columns";
    EXPECT_EQ(calls[0].x, 3 + 61);
    EXPECT_EQ(*calls[1].piece, (Rect{46, 0, 48, 8}));
    EXPECT_EQ(*calls[2].piece, (Rect{31, 0, 32, 8}));
}

TEST(SlitCurtain, row_strips_open_downward_and_upward)
{
    auto calls = Record(SlitCurtainBlt7, 20, 40, 255, 5, 6);  // S = 8, n = 6, T = 13
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(*calls[0].piece, (Rect{0, 0, 20, 8}));
    EXPECT_EQ(calls[0].y, 6);
    EXPECT_EQ(*calls[4].piece, (Rect{0, 32, 20, 40}));
    EXPECT_EQ(calls[4].y, 6 + 32);
    EXPECT_TRUE(calls[5].piece->IsEmpty());
    calls = Record(SlitCurtainBlt6, 20, 40, 30);  // S = 16, n = 3, T = (19 * 30) / 256 = 2
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(*calls[0].piece, (Rect{0, 38, 20, 40}));
    EXPECT_EQ(*calls[1].piece, (Rect{0, 23, 20, 24}));
}

TEST(Tensile, reveals_from_one_edge_and_stretches_the_next_column_to_the_plane_edge)
{
    // TensileBlt2 with p = 0: only column 0, stretched from x to the right edge.
    auto calls = Record(TensileBlt2, 200, 200, 1, 40, 7, 0, 800, 600);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(*calls[0].piece, (Rect{0, 0, 1, 200}));
    EXPECT_EQ(calls[0].x, 40);
    EXPECT_EQ(*calls[0].dstSize, (Size{760, 200})) << "the band must reach the destination's right edge";
    calls = Record(TensileBlt2, 300, 200, 128, 40, 7, 0, 800, 600);  // p = 150
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(*calls[0].piece, (Rect{0, 0, 150, 200}));
    EXPECT_FALSE(calls[0].dstSize.has_value()) << "the revealed part is drawn 1:1";
    EXPECT_EQ(*calls[1].piece, (Rect{150, 0, 151, 200}));
    EXPECT_EQ(calls[1].x, 190);
    EXPECT_EQ(*calls[1].dstSize, (Size{610, 200}));
    // TensileBlt1 at x = 100: the band covers destination columns 0 to 100 + w - p - 1.
    calls = Record(TensileBlt1, 300, 200, 128, 100, 7, 0, 800, 600);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(*calls[0].piece, (Rect{150, 0, 300, 200}));
    EXPECT_EQ(calls[0].x, 250);
    EXPECT_EQ(*calls[1].piece, (Rect{149, 0, 150, 200}));
    EXPECT_EQ(calls[1].x, 0);
    EXPECT_EQ(calls[1].y, 7);
    EXPECT_EQ(*calls[1].dstSize, (Size{250, 200}));
}

TEST(Tensile, rows_reveal_from_the_bottom_or_top)
{
    auto calls = Record(TensileBlt3, 30, 100, 64, 5, 50, 0, 800, 600);  // p = 25
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(*calls[0].piece, (Rect{0, 75, 30, 100}));
    EXPECT_EQ(calls[0].y, 125);
    EXPECT_EQ(*calls[1].piece, (Rect{0, 74, 30, 75}));
    EXPECT_EQ(calls[1].x, 5);
    EXPECT_EQ(calls[1].y, 0);
    EXPECT_EQ(*calls[1].dstSize, (Size{30, 125}));
    calls = Record(TensileBlt4, 30, 100, 64, 5, 50, 0, 800, 600);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(*calls[1].piece, (Rect{0, 25, 30, 26}));
    EXPECT_EQ(calls[1].y, 75);
    EXPECT_EQ(*calls[1].dstSize, (Size{30, 525}));
}

TEST(Tensile, a_band_with_no_room_before_the_plane_edge_is_not_drawn)
{
    // The picture lies past the destination's right edge: dw - x - p < 1.
    auto calls = Record(TensileBlt2, 200, 200, 1, 900, 0, 0, 800, 600);
    EXPECT_TRUE(calls.empty()) << "an empty or negative stretch size reached the plane";
    // The picture lies left of the destination: x + w - p < 1.
    calls = Record(TensileBlt1, 200, 200, 1, -400, 0, 0, 800, 600);
    EXPECT_TRUE(calls.empty()) << "an empty or negative stretch size reached the plane";
}

TEST(SlitCurtain, first_and_last_row_strips_on_800_by_600)
{
    EXPECT_TRUE(Record(SlitCurtainBlt5, 800, 600, 1).empty()) << "n = 38, T = 54 / 256 = 0: nothing yet";
    auto calls = Record(SlitCurtainBlt5, 800, 600, 128);  // T = 27
    ASSERT_EQ(calls.size(), 27u);
    EXPECT_EQ(*calls.front().piece, (Rect{0, 0, 800, 16}));
    EXPECT_EQ(*calls.back().piece, (Rect{0, 416, 800, 417}));
    calls = Record(SlitCurtainBlt5, 800, 600, 255);  // T = 53
    ASSERT_EQ(calls.size(), 38u);
    EXPECT_EQ(*calls.back().piece, (Rect{0, 592, 800, 600})) << "the last strip is cut at the bottom edge";
}

}  // namespace
