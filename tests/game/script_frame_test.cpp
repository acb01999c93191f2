// The message window: geometry from the settings, fade levels, dirty
// rectangles, the fast-forward button and its parts.
#include <gtest/gtest.h>

#include "GameTestFolder.h"
#include "GameTestPlanes.h"
#include "MessageWindowSettings.h"
#include "game/GameConfig.h"
#include "game/ScriptFrame.h"
#include "game/TextDrawable.h"
#include "game/TextLabel.h"

namespace {


class ScriptFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gConfig.baseDir = "";
        game_test::MessageWindowSettings{.textPosX = 40, .textPosY = 30, .textWidth = 600, .textHeight = 120,
                                         .namePosY = 4, .scriptFFx = 650, .nameSize = 16, .linespace = 6,
                                         .backColor = 128, .ffNormal = "chip\\ff0.png", .ffOnMouse = "chip\\ff1.png",
                                         .ffOnClick = "chip\\ff2.png"}
            .Apply();
        std::filesystem::create_directories(folder_.path() + "/chip");
        for (int i = 0; i < 3; ++i)
            game_test::WriteFlatPng(folder_.path() + "/chip/ff" + std::to_string(i) + ".png", 40, 20, 0xFF102030u);
        FlushFileLayerCache();
    }

    // A window at rest (shown) with a 700 x 150 backing and window picture.
    std::unique_ptr<CScriptFrame> Shown(int animationLength)
    {
        auto frame = std::make_unique<CScriptFrame>();
        frame->SetFrameRange(animationLength, 0, -1);
        frame->SetPlane(new RecordingPlane(700, 150));
        frame->SetFramePlane(new RecordingPlane(700, 150));
        frame->SetAttr(1, 0);
        return frame;
    }

    game_test::GameFolder folder_;
    game_test::MessageBoxCatcher boxes_;
    game_test::SettingsScope settings_;  // restores gConfig at the end
};

}  // namespace

TEST_F(ScriptFrameTest, window_sits_centred_above_the_bottom_and_places_its_parts)
{
    gConfig.basewidth = 640;  // every position scales by 1.25
    auto frame = Shown(10);
    RecordingPlane target(800, 600);
    int x0 = 0;
    int y0 = 0;
    frame->Origin(800, 600, &x0, &y0);
    EXPECT_EQ(x0, 50) << "a 700-pixel window is centred on 800";
    EXPECT_EQ(y0, 446) << "600 - 150 - 4";
    frame->DrawEffect(&target, nullptr);
    int32_t x = 0;
    int32_t y = 0;
    frame->GetTextDrawable()->GetPos(&x, &y);
    EXPECT_EQ(x, 50 + 50) << "textPosX 40 at 800 / 640 is 50 pixels right of the window";
    EXPECT_EQ(y, 446 + 37) << "textPosY 30 scales to 37";
    frame->GetNameLabel()->GetPos(&x, &y);
    EXPECT_EQ(x, 50 + 25);
    EXPECT_EQ(y, 446 + 5);
    frame->GetButton(CScriptFrame::kButtonNormal)->GetPos(&x, &y);
    EXPECT_EQ(x, 50 + 650) << "the button offsets are not scaled";
    EXPECT_EQ(y, 446 + 10);
}

TEST_F(ScriptFrameTest, parts_are_made_from_the_settings)
{
    gConfig.basewidth = 640;
    CScriptFrame frame;
    CTextDrawable* text = frame.GetTextDrawable();
    int w = 0;
    int h = 0;
    text->GetDisplayPlane()->GetSize(&w, &h);
    EXPECT_EQ(w, 750) << "textWidth 600 scaled";
    EXPECT_EQ(h, 150) << "textHeight 120 scaled";
    EXPECT_EQ(text->Speed(), 1);
    text->Layout("A", -1);
    EXPECT_EQ(text->Runs()[0].rect.left, 12) << "left margin 10, scaled";
    EXPECT_EQ(text->Runs()[0].rect.top, 18) << "top margin 15, scaled";
    EXPECT_EQ(frame.GetNameLabel()->GetTextDraw()->GetHeight(), 20) << "nameSize 16 scaled";
    EXPECT_EQ(frame.GetNameLabel()->GetTextDraw()->GetColor(), 0xFFFFFFu) << "the name is white";
    frame.ResetText();
    EXPECT_TRUE(text->Runs().empty()) << "ResetText empties the text";
    text->GetDisplayPlane()->GetSize(&w, &h);
    EXPECT_EQ(w, 750) << "and makes its plane again at the scaled size";
}

TEST_F(ScriptFrameTest, fade_levels_follow_the_elapsed_frames)
{
    auto frame = Shown(12);
    frame->SetAttr(0, 0);
    frame->SetAttr(1, 1);
    for (int i = 0; i < 5; ++i)
        frame->BeginDraw();
    ASSERT_EQ(frame->GetElapsed(), 5);
    RecordingPlane target(800, 600);
    frame->DrawEffect(&target, nullptr);
    ASSERT_GE(target.calls.size(), 2u);
    EXPECT_EQ(target.calls[0].level, 64) << "BackColor 128 at elapsed 5 of 10 gives the backing level 64";
    EXPECT_EQ(target.calls[1].level, 127) << "the window at elapsed 5 of 10 is at level 127";
    EXPECT_EQ(frame->GetNameLabel()->GetLevel(), 127) << "the name fades with the window";
    EXPECT_EQ(frame->GetTextDrawable()->GetLevel(), 127) << "the text fades with the window";
}

TEST_F(ScriptFrameTest, a_two_frame_fade_does_not_divide_by_zero)
{
    auto frame = Shown(2);
    RecordingPlane target(800, 600);
    frame->DrawEffect(&target, nullptr);
    ASSERT_GE(target.calls.size(), 2u);
    EXPECT_EQ(target.calls[0].level, 128) << "without steps the backing is at its full level";
    EXPECT_EQ(target.calls[1].level, 255) << "without steps the window is fully shown";
}

TEST_F(ScriptFrameTest, at_rest_only_the_button_is_repainted_until_invalidated)
{
    auto frame = Shown(10);
    RecordingPlane target(800, 600);
    RectList list;
    EXPECT_EQ(frame->AddDirtyRects(&target, &list), 2);
    ASSERT_EQ(list.size(), 1u) << "a window at rest adds only the button";
    EXPECT_EQ(list[0].left, 50 + 650);
    EXPECT_EQ(list[0].right, 50 + 650 + 40) << "the button rectangle has the picture's width";
    frame->Invalidate();
    list.clear();
    EXPECT_EQ(frame->AddDirtyRects(&target, &list), 3);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].left, 50);
    EXPECT_EQ(list[1].top, 446);
    EXPECT_EQ(list[1].right, 750);
    EXPECT_EQ(list[1].bottom, 600) << "the window rectangle reaches the bottom edge";
    list.clear();
    EXPECT_EQ(frame->AddDirtyRects(&target, &list), 2) << "Invalidate repaints the window once";
    frame->SetAttr(0, 1);
    frame->BeginDraw();  // from the frame past the range onto its last frame
    list.clear();
    EXPECT_EQ(frame->AddDirtyRects(&target, &list), 3) << "a fading window repaints every frame";
}

TEST_F(ScriptFrameTest, button_shows_its_state_and_answers_hits_inside_only)
{
    auto frame = Shown(10);
    RecordingPlane target(800, 600);
    frame->SetButtonState(CScriptFrame::kButtonPressed);
    frame->SetButtonState(7);
    EXPECT_EQ(frame->GetButtonState(), CScriptFrame::kButtonPressed) << "states other than 0-2 are ignored";
    frame->DrawEffect(&target, nullptr);
    ASSERT_EQ(target.calls.size(), 3u) << "backing, window and button";
    EXPECT_EQ(target.calls[2].src, frame->GetButton(CScriptFrame::kButtonPressed)->GetPlane())
        << "the pressed picture is drawn";
    EXPECT_EQ(target.calls[2].x, 700);
    EXPECT_TRUE(frame->ButtonHitTest(700, 456));
    EXPECT_TRUE(frame->ButtonHitTest(739, 475));
    EXPECT_FALSE(frame->ButtonHitTest(740, 460)) << "the right edge is outside";
    EXPECT_FALSE(frame->ButtonHitTest(710, 476)) << "the bottom edge is outside";
    frame->SetShowExtras(0);
    target.calls.clear();
    frame->DrawEffect(&target, nullptr);
    EXPECT_TRUE(target.calls.empty()) << "without extras neither window nor button is drawn";
    int32_t file = -1;
    int32_t offset = -1;
    EXPECT_EQ(frame->HitTest(nullptr, nullptr, &file, &offset), 0);
    EXPECT_EQ(file, 0) << "no link under a missing mouse";
}
