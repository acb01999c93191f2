// The effect picture: the transition at each frame's level, the plain blit
// outside the range, its dirty rectangles and the effect number's range.
#include <gtest/gtest.h>

#include "GameTestPlanes.h"
#include "game/EffectPicture.h"
#include "game/GameConfig.h"

namespace {


// Transition 49 is the plain blend: one BltLevel call at the level it is given.
constexpr int kBlend = 49;

TEST(EffectPicture, draws_the_transition_at_each_frames_level_then_plainly)
{
    RecordingPlane target(800, 600);
    CEffectPicture p;
    p.SetPlane(new RecordingPlane(100, 80));
    gConfig.xpos14 = -1;  // no column set: centred
    p.SetPos(kAnchorColumn14, kAnchorBottom);
    p.SetEffectNumber(kBlend);
    p.SetFrameRange(10, 0, -1);
    p.SetAttr(1, 1);
    std::vector<int> levels;
    for (int frame = 1; frame <= 9; ++frame) {
        p.BeginDraw();
        target.calls.clear();
        const Rect clip{0, 0, 10, 10};
        p.OnDraw(&target, &clip);
        ASSERT_EQ(target.calls.size(), 1u) << "frame " << frame;
        const auto& c = target.calls[0];
        EXPECT_EQ(c.x, 350);
        EXPECT_EQ(c.y, 520);
        if (frame < 9) {
            EXPECT_EQ(c.op, "BltLevel");
            EXPECT_FALSE(c.clipRect) << "the transition is not clipped";
            levels.push_back(c.level);
        } else {
            EXPECT_EQ(c.op, "Blt") << "after the range the picture is blitted plainly";
            EXPECT_TRUE(c.clipRect);
        }
    }
    EXPECT_EQ(levels, (std::vector<int>{31, 63, 95, 127, 159, 191, 223, 255}));
}

TEST(EffectPicture, frame_zero_is_level_zero_and_draws_nothing)
{
    RecordingPlane target(800, 600);
    CEffectPicture p;
    p.SetPlane(new RecordingPlane(10, 10));
    p.SetEffectNumber(kBlend);
    p.SetFrameRange(10, 0, -1);
    p.SetAttr(0, 0);
    p.OnDraw(&target, nullptr);
    EXPECT_TRUE(target.calls.empty()) << "a hidden picture at its start frame draws nothing";
}

TEST(EffectPicture, marks_the_whole_screen_only_while_its_range_runs)
{
    RecordingPlane target(640, 480);
    CEffectPicture p;
    p.SetPlane(new RecordingPlane(10, 10));
    p.SetFrameRange(4, 0, -1);  // end 3
    p.SetAttr(1, 1);
    std::vector<int> marked;
    for (int frame = 0; frame < 6; ++frame) {
        RectList list;
        marked.push_back(p.AddDirtyRects(&target, &list));
        if (!list.empty()) {
            EXPECT_EQ(list[0], (Rect{0, 0, 640, 480}));
        }
        p.BeginDraw();
    }
    EXPECT_EQ(marked, (std::vector<int>{1, 1, 1, 0, 0, 0})) << "frames 0 to 2 run, from frame 3 on it is still";
    p.LoadPicture("");  // changing the picture outside the range marks nothing by itself
    RectList list;
    EXPECT_EQ(p.AddDirtyRects(&target, &list), 0);
}

TEST(EffectPicture, effect_number_outside_the_table_is_reported_and_wrapped)
{
    game_test::MessageBoxCatcher boxes;
    CEffectPicture p;
    EXPECT_EQ(p.GetEffectNumber(), 20) << "a new picture uses transition 20";
    p.SetEffectNumber(74);
    EXPECT_EQ(p.GetEffectNumber(), 74);
    EXPECT_TRUE(boxes.texts.empty());
    p.SetEffectNumber(76);
    EXPECT_EQ(p.GetEffectNumber(), 1);
    p.SetEffectNumber(-1);
    EXPECT_EQ(p.GetEffectNumber(), 74) << "a negative number must not index before the table";
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[0], "cEffectNo がはみ出しちゃったの (76) mod とるね");
    EXPECT_EQ(boxes.captions[0], "Debug");
}

TEST(EffectPicture, two_frame_range_draws_the_finished_level)
{
    RecordingPlane target(100, 100);
    CEffectPicture p;
    p.SetPlane(new RecordingPlane(10, 10));
    p.SetEffectNumber(kBlend);
    p.SetFrameRange(2, 0, -1);  // end 1: no divisor
    p.SetAttr(0, 0);            // frame 0 = start, inside the range
    p.OnDraw(&target, nullptr);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].level, 255) << "a range without steps draws as finished";
}

}  // namespace
