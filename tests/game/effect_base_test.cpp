// The effect drawables' frame machine and level rule.
#include <gtest/gtest.h>

#include <cstdint>

#include "GameTestPlanes.h"
#include "game/EffectBase.h"

namespace {

class TestEffect : public CEffectBase {
public:
    int DrawEffect(CPlaneBase*, const Rect*) override
    {
        ++draws;
        return 0;
    }
    void SetLoop(int32_t mode) { loopMode_ = mode; }
    int draws = 0;
};

TEST(EffectBase, frame_range_end_defaults_and_is_capped_at_count)
{
    TestEffect e;
    e.SetFrameRange(10, 0, -1);
    EXPECT_EQ(e.GetEnd(), 9);
    e.SetFrameRange(10, 0, 15);
    EXPECT_EQ(e.GetEnd(), 10) << "an end above count is lowered to count";
}

TEST(EffectBase, showing_runs_frames_one_to_eight_then_finishes_at_nine)
{
    TestEffect e;
    e.SetFrameRange(10, 0, -1);
    e.SetAttr(1, 1);
    for (int f = 1; f <= 7; ++f) {
        e.BeginDraw();
        EXPECT_EQ(e.GetFrame(), f);
        EXPECT_EQ(e.GetElapsed(), f);
        EXPECT_EQ(e.GetState(), CEffectBase::kStateRunning) << "frame " << f;
    }
    e.BeginDraw();
    EXPECT_EQ(e.GetFrame(), 8);
    EXPECT_EQ(e.GetElapsed(), 8);
    EXPECT_EQ(e.GetState(), CEffectBase::kStateDone);
    EXPECT_EQ(e.LevelAt(e.GetElapsed()), 255) << "level 255 falls on frame end - 1";
    for (int i = 0; i < 3; ++i) {
        e.BeginDraw();
        EXPECT_EQ(e.GetFrame(), 9) << "the frame stays at count - 1";
        EXPECT_EQ(e.GetElapsed(), 8);
        EXPECT_EQ(e.GetState(), CEffectBase::kStateDone);
    }
}

TEST(EffectBase, levels_over_the_range_follow_elapsed_times_255_over_the_divisor)
{
    TestEffect e;
    e.SetFrameRange(10, 0, -1);
    e.SetAttr(1, 1);
    std::vector<int> levels;
    for (int i = 0; i < 8; ++i) {
        e.BeginDraw();
        levels.push_back(e.LevelAt(e.GetElapsed()));
    }
    EXPECT_EQ(levels, (std::vector<int>{31, 63, 95, 127, 159, 191, 223, 255}));
}

TEST(EffectBase, range_of_two_frames_counts_as_finished_instead_of_dividing_by_zero)
{
    TestEffect e;
    e.SetFrameRange(2, 0, -1);  // end 1: divisor 0
    EXPECT_EQ(e.LevelAt(0), 255);
    e.SetFrameRange(0, 0, -1);  // a settings value of 0 frames
    EXPECT_EQ(e.LevelAt(0), 255);
}

TEST(EffectBase, counts_at_the_ends_of_int_run_without_overflow)
{
    // A scenario's pan length reaches the range unchecked; the sanitizer
    // build stops at any overflow of the frame arithmetic.
    for (int32_t count : {INT32_MIN, -1, INT32_MAX}) {
        TestEffect e;
        e.SetFrameRange(count, 0, -1);
        EXPECT_EQ(e.GetCount(), count < 0 ? 0 : count) << count;
        e.SetAttr(1, 0);
        e.AdjustFrame();
        e.SetAttr(0, 1);
        for (int i = 0; i < 3; ++i)
            e.BeginDraw();
        if (count <= 0) {
            EXPECT_EQ(e.GetState(), CEffectBase::kStateBefore) << count << ": without frames hiding ends at once";
        }
        const int32_t level = e.LevelAt(e.GetElapsed());
        EXPECT_TRUE(level >= 0 && level <= 255) << count << ": level " << level;
    }
}

TEST(EffectBase, set_attr_jumps_to_the_end_state_or_keeps_the_frame)
{
    game_test::MessageBoxCatcher boxes;
    TestEffect e;
    e.SetFrameRange(10, 0, -1);
    e.SetAttr(1, 0);
    EXPECT_EQ(e.GetFrame(), 9);
    EXPECT_EQ(e.GetElapsed(), 8);
    EXPECT_EQ(e.IsShown(), 1);
    e.SetAttr(0, 0);
    EXPECT_EQ(e.GetFrame(), 0);
    EXPECT_EQ(e.GetElapsed(), 0);
    EXPECT_EQ(e.GetState(), 0);
    EXPECT_EQ(e.IsShown(), 0) << "hidden at once";
    e.SetAttr(1, 1);
    e.BeginDraw();
    e.BeginDraw();
    EXPECT_EQ(e.GetFrame(), 2);
    e.SetAttr(0, 1);
    EXPECT_EQ(e.GetFrame(), 2) << "keep frame reverses from where it stands";
    EXPECT_EQ(e.IsShown(), 0) << "a running hide is not shown";
    e.BeginDraw();
    EXPECT_EQ(e.GetFrame(), 1);
    EXPECT_TRUE(boxes.texts.empty());
    e.SetAttr(5, 0);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "CEffectBase::SetAttr() 無効な引数");
    EXPECT_EQ(e.GetDirection(), -1) << "a bad direction changes nothing";
}

TEST(EffectBase, adjust_frame_finishes_a_running_effect_at_the_next_begin_draw)
{
    TestEffect e;
    e.SetFrameRange(10, 0, -1);
    e.SetAttr(1, 1);
    e.BeginDraw();
    e.AdjustFrame();
    EXPECT_EQ(e.GetFrame(), 8);
    e.BeginDraw();
    EXPECT_EQ(e.GetState(), CEffectBase::kStateDone);
    TestEffect idle;
    idle.SetFrameRange(10, 0, -1);
    idle.AdjustFrame();
    EXPECT_EQ(idle.GetFrame(), 0) << "only a running effect is adjusted";
}

TEST(EffectBase, looping_wraps_and_stays_in_state_four)
{
    TestEffect e;
    e.SetLoop(1);
    e.SetFrameRange(3, 0, 0);
    std::vector<int> frames;
    for (int i = 0; i < 5; ++i) {
        e.BeginDraw();
        frames.push_back(e.GetFrame());
        EXPECT_EQ(e.GetState(), CEffectBase::kStateLooping);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1, 2}));
    EXPECT_EQ(e.IsShown(), 0);
}

TEST(EffectBase, on_draw_calls_draw_effect_only_when_visible_and_leaves_the_state)
{
    TestEffect e;
    e.SetFrameRange(10, 0, -1);
    e.SetAttr(1, 0);
    RecordingPlane t(8, 8);
    e.OnDraw(&t, nullptr);
    EXPECT_EQ(e.draws, 1);
    e.SetVisible(false);
    e.OnDraw(&t, nullptr);
    EXPECT_EQ(e.draws, 1);
    EXPECT_EQ(e.GetState(), CEffectBase::kStateDone) << "the frame machine owns the state";
}

}  // namespace
