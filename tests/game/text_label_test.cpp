// The name label: rendered once per text, drawn colour-keyed at its level.
#include <gtest/gtest.h>

#include "GameTestPlanes.h"
#include "support/TextReference.h"
#include "game/TextLabel.h"


TEST(TextLabel, set_text_renders_the_name_at_its_size)
{
    CTextLabel label;
    label.GetTextDraw()->SetHeight(20);
    const std::string name = "\x96\xBC\x91\x4F";  // 名前
    label.SetText(name);
    EXPECT_EQ(label.GetText(), name);
    int w = 0;
    int h = 0;
    label.GetTextPlane()->GetSize(&w, &h);
    EXPECT_EQ(w, textref::Width(textref::Font(20, true), name)) << "the text plane takes the name's width";
    EXPECT_EQ(h, 20);
    label.ClearText();
    EXPECT_EQ(label.GetText(), "");
    label.GetTextPlane()->GetSize(&w, &h);
    EXPECT_EQ(w, 1) << "an empty name leaves a 1 x 1 plane";
}

TEST(TextLabel, repaints_its_box_every_frame_and_draws_at_its_level)
{
    CTextLabel label;
    label.SetBoxSize(200, 24);
    label.SetPos(40, 420);
    RecordingPlane target(800, 600);
    for (int frame = 0; frame < 2; ++frame) {
        RectList list;
        EXPECT_EQ(label.AddDirtyRects(&target, &list), 0);
        ASSERT_EQ(list.size(), 1u) << "the box is added on frame " << frame;
        EXPECT_EQ(list[0].left, 40);
        EXPECT_EQ(list[0].top, 420);
        EXPECT_EQ(list[0].right, 240);
        EXPECT_EQ(list[0].bottom, 444);
    }
    label.OnDraw(&target, nullptr);
    EXPECT_TRUE(target.calls.empty()) << "without a name nothing is drawn";
    label.SetText("Mio");
    label.SetLevel(100);
    label.OnDraw(&target, nullptr);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].op, "BlendBltColorKey") << "the name is blended colour-keyed by its level";
    EXPECT_EQ(target.calls[0].level, 100);
    EXPECT_EQ(target.calls[0].x, 40);
    EXPECT_EQ(target.calls[0].y, 420);
    label.SetVisible(false);
    label.OnDraw(&target, nullptr);
    EXPECT_EQ(target.calls.size(), 1u) << "a hidden label draws nothing";
}
