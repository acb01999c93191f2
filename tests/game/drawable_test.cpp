// Drawables: anchors, blit modes, states and their dirty rectangles.
#include <gtest/gtest.h>

#include "GameTestPlanes.h"
#include "game/Drawable.h"
#include "game/GameConfig.h"

namespace {


// A drawable whose plane is a recording target of the picture's size, so
// that anchors and rectangles can be checked without pixels.
struct Fixture {
    Fixture(int w, int h) : target(800, 600)
    {
        drawable.SetPlane(new RecordingPlane(w, h));
        gConfig.xpos10 = gConfig.xpos11 = gConfig.xpos12 = -1;
        gConfig.xpos13 = gConfig.xpos14 = gConfig.xpos15 = -1;
    }
    int X(int32_t x)
    {
        drawable.SetPos(x, 0);
        return drawable.getX(&target, drawable.GetPlane());
    }
    int Y(int32_t y)
    {
        drawable.SetPos(0, y);
        return drawable.getY(&target, drawable.GetPlane());
    }
    RecordingPlane target;
    CDrawable drawable;
};

TEST(Drawable, horizontal_anchors_place_the_picture)
{
    Fixture f(100, 50);
    EXPECT_EQ(f.X(12), 12) << "0 or more is the left edge";
    EXPECT_EQ(f.X(kAnchorLeft), 0);
    EXPECT_EQ(f.X(kAnchorColumn10), 350) << "centred without xpos10";
    EXPECT_EQ(f.X(kAnchorRight), 700) << "right edge on the target's right edge";
    EXPECT_EQ(f.X(kAnchorColumn11), 800 / 3 - 50);
    EXPECT_EQ(f.X(kAnchorColumn12), 1600 / 3 - 50);
    EXPECT_EQ(f.X(kAnchorColumn13), 150);
    EXPECT_EQ(f.X(kAnchorColumn14), 350);
    EXPECT_EQ(f.X(kAnchorColumn15), 550);
    gConfig.xpos10 = 400;
    EXPECT_EQ(f.X(kAnchorColumn10), 350) << "xpos10 = 400 centres the picture on column 400";
    gConfig.xpos15 = 100;
    EXPECT_EQ(f.X(kAnchorColumn15), 50);
}

TEST(Drawable, vertical_anchors_place_the_picture)
{
    Fixture f(100, 51);
    EXPECT_EQ(f.Y(kAnchorTop), 0);
    EXPECT_EQ(f.Y(kAnchorMiddle), (600 - 51) / 2);
    EXPECT_EQ(f.Y(kAnchorBottom), 549);
}

TEST(Drawable, bad_anchor_is_reported_once_per_drawable_and_gives_zero)
{
    game_test::MessageBoxCatcher boxes;
    Fixture f(10, 10);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f.X(-7), 0) << "a bad anchor uses 0";
        EXPECT_EQ(f.Y(-99), 0);
    }
    ASSERT_EQ(boxes.texts.size(), 1u) << "a box on every pass would stop the game; one per drawable";
    EXPECT_EQ(boxes.captions[0], "えら");
    EXPECT_EQ(boxes.texts[0], "CDrawable::getXで無効な引数が与えられましたとさ(-7)");
}

TEST(Drawable, draws_by_blit_mode_within_the_clip)
{
    Fixture f(10, 10);
    f.drawable.SetPos(5, 6);
    const Rect clip{1, 2, 3, 4};
    const char* ops[] = {"Blt", "BltColorKey", "BltAuto"};
    for (int mode = 0; mode < 3; ++mode) {
        f.target.calls.clear();
        f.drawable.SetBlitMode(mode);
        f.drawable.OnDraw(&f.target, &clip);
        ASSERT_EQ(f.target.calls.size(), 1u);
        EXPECT_EQ(f.target.calls[0].op, ops[mode]) << "blit mode " << mode;
        EXPECT_EQ(f.target.calls[0].x, 5);
        EXPECT_EQ(f.target.calls[0].y, 6);
        EXPECT_TRUE(f.target.calls[0].clipRect == clip) << "the clip is passed on";
    }
    f.target.calls.clear();
    f.drawable.SetBlitMode(3);
    f.drawable.OnDraw(&f.target, &clip);
    EXPECT_TRUE(f.target.calls.empty()) << "an unknown blit mode draws nothing";
}

TEST(Drawable, plain_drawable_marks_its_rectangle_until_drawn_and_again_while_hidden)
{
    Fixture f(30, 20);
    f.drawable.SetPos(10, 5);
    RectList list;
    EXPECT_EQ(f.drawable.AddDirtyRects(&f.target, &list), 1) << "a new picture marks its rectangle";
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (Rect{10, 5, 40, 25}));
    f.drawable.OnDraw(&f.target, &list[0]);
    EXPECT_EQ(f.drawable.GetState(), 1);
    list.clear();
    EXPECT_EQ(f.drawable.AddDirtyRects(&f.target, &list), 0) << "a drawn, still picture adds nothing";
    f.drawable.SetPos(100, 100);
    EXPECT_EQ(f.drawable.AddDirtyRects(&f.target, &list), 0) << "moving alone marks nothing";
    f.drawable.SetVisible(false);
    f.drawable.OnDraw(&f.target, nullptr);
    EXPECT_EQ(f.drawable.GetState(), 0);
    for (int frame = 0; frame < 3; ++frame) {
        list.clear();
        EXPECT_EQ(f.drawable.AddDirtyRects(&f.target, &list), 1) << "a hidden picture keeps repainting what is under it";
        f.drawable.OnDraw(&f.target, nullptr);
    }
    CDrawable empty;
    list.clear();
    EXPECT_EQ(empty.AddDirtyRects(&f.target, &list), 0) << "without a plane nothing is marked";
    EXPECT_TRUE(list.empty());
}

TEST(Drawable, set_plane_keeps_the_old_plane_alive)
{
    CDrawable d;
    auto* first = new RecordingPlane(1, 1);
    d.SetPlane(first);
    RecordingPlane second(2, 2);
    d.SetPlane(&second);
    int w = 0, h = 0;
    first->GetSize(&w, &h);  // ASan reports a use after free if SetPlane deleted it
    EXPECT_EQ(w, 1);
    d.SetPlane(nullptr);
    delete first;
}

}  // namespace
