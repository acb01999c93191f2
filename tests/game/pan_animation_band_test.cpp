// The pan picture, the frame animation and the reveal band.
#include <gtest/gtest.h>

#include "GameTestPlanes.h"
#include "game/FrameAnimation.h"
#include "game/ScrollRegionEffect.h"
#include "game/VerticalPanPicture.h"

namespace {


TEST(VerticalPanPicture, vertical_pan_moves_in_equal_steps_to_the_far_edge)
{
    RecordingPlane target(800, 600);
    CVerticalPanPicture pan;
    pan.SetPlane(new RecordingPlane(800, 1200));
    pan.SetPanDirection(CVerticalPanPicture::kVertical);
    pan.SetFrameRange(12, 0, 11);  // d = 10
    pan.SetAttr(1, 1);
    std::vector<int> ys;
    for (int i = 0; i < 12; ++i) {
        target.calls.clear();
        pan.OnDraw(&target, nullptr);
        ASSERT_EQ(target.calls.size(), 1u);
        ys.push_back(target.calls[0].y);
        EXPECT_EQ(target.calls[0].x, 0);
        pan.BeginDraw();
    }
    EXPECT_EQ(ys, (std::vector<int>{0, -60, -120, -180, -240, -300, -360, -420, -480, -540, -600, -600}));
}

TEST(VerticalPanPicture, horizontal_pan_and_short_range_do_not_divide_by_zero)
{
    RecordingPlane target(800, 600);
    CVerticalPanPicture pan;
    pan.SetPlane(new RecordingPlane(1000, 600));
    pan.SetPanDirection(CVerticalPanPicture::kHorizontal);
    pan.SetFrameRange(2, 0, -1);  // d = 0
    pan.SetAttr(1, 1);
    pan.OnDraw(&target, nullptr);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].x, -200) << "a range without steps stands at the far edge";
}

TEST(FrameAnimation, each_picture_stays_for_the_interval_then_wraps)
{
    RecordingPlane target(800, 600);
    CFrameAnimation anim;
    std::vector<CPlaneBase*> pictures;
    for (int i = 0; i < 4; ++i) {
        pictures.push_back(new RecordingPlane(10 + i, 10));
        anim.AddFramePlane(pictures.back());
    }
    anim.SetInterval(3);
    anim.SetLevel(200);
    std::vector<int> shown;
    for (int frame = 0; frame < 15; ++frame) {
        anim.BeginDraw();
        target.calls.clear();
        anim.OnDraw(&target, nullptr);
        ASSERT_EQ(target.calls.size(), 1u);
        EXPECT_EQ(target.calls[0].op, "AlphaBltLevel");
        EXPECT_EQ(target.calls[0].level, 200);
        shown.push_back(static_cast<int>(std::find(pictures.begin(), pictures.end(), target.calls[0].src) - pictures.begin()));
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0, 1}))
        << "four pictures, three frames each, then the first again";
    int w = 0, h = 0;
    anim.GetSize(&w, &h);
    EXPECT_EQ(w, 10) << "the size is the first picture's";
}

TEST(FrameAnimation, one_picture_never_changes_and_none_draws_nothing)
{
    RecordingPlane target(800, 600);
    CFrameAnimation one;
    auto* only = new RecordingPlane(5, 5);
    one.AddFramePlane(only);
    for (int i = 0; i < 5; ++i) {
        one.BeginDraw();
        target.calls.clear();
        one.OnDraw(&target, nullptr);
        ASSERT_EQ(target.calls.size(), 1u);
        EXPECT_EQ(target.calls[0].src, only);
    }
    CFrameAnimation none;
    none.BeginDraw();
    target.calls.clear();
    none.OnDraw(&target, nullptr);
    RectList list;
    none.AddDirtyRects(&target, &list);
    int w = 1, h = 1;
    none.GetSize(&w, &h);
    EXPECT_TRUE(target.calls.empty()) << "an empty animation draws nothing";
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(w + h, 0) << "an empty animation is 0 x 0";
}

TEST(FrameAnimation, marks_its_rectangle_every_frame_while_visible)
{
    RecordingPlane target(800, 600);
    CFrameAnimation anim;
    anim.AddFramePlane(new RecordingPlane(20, 10));
    anim.SetPos(100, 50);
    RectList list;
    EXPECT_EQ(anim.AddDirtyRects(&target, &list), 0);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (Rect{100, 50, 120, 60}));
    anim.SetVisible(false);
    list.clear();
    anim.AddDirtyRects(&target, &list);
    EXPECT_TRUE(list.empty());
}

TEST(ScrollRegionEffect, marks_growing_bands_from_top_and_bottom_only_while_elapsed_changes)
{
    RecordingPlane target(800, 600);
    CScrollRegionEffect band;
    band.SetPlane(new RecordingPlane(400, 100));
    band.SetFrameRange(12, 0, 11);  // d = 10
    band.SetAttr(1, 1);
    RectList list;
    EXPECT_EQ(band.AddDirtyRects(&target, &list), 2);
    ASSERT_EQ(list.size(), 2u);
    // elapsed 0 -> 1: e0 = 0, e1 = 10.
    EXPECT_EQ(list[0], (Rect{200, 0, 600, 10})) << "top band from -100..0 to -90..10, clamped";
    EXPECT_EQ(list[1], (Rect{200, 590, 600, 599})) << "bottom band, clamped to height - 1";
    for (int i = 0; i < 12; ++i)
        band.BeginDraw();
    list.clear();
    EXPECT_EQ(band.AddDirtyRects(&target, &list), 0) << "after the end elapsed no longer changes";
    EXPECT_TRUE(list.empty());
    RecordingPlane frame(1, 1);
    band.OnDraw(&frame, nullptr);
    EXPECT_TRUE(frame.calls.empty()) << "the band itself draws nothing";
}

}  // namespace
