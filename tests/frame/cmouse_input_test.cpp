#include <gtest/gtest.h>

#include "support/MainWindowFixture.h"
#include "frame/CMouseInput.h"
#include "platform/EventInjection.h"
#include "platform/WindowMessages.h"

namespace inject = platform::testing;

namespace {

constexpr int kLeft = 1;
constexpr int kRight = 3;
constexpr int kTop = platform::kMenuBarHeight;

class MouseInputTest : public MainWindowFixture {
protected:
    void Frame()
    {
        platform::PumpMessages();
        mouse_.Update();
    }
    CMouseInput mouse_;
};

TEST_F(MouseInputTest, press_and_release_edges_last_one_frame)
{
    inject::PushMouseButton(kLeft, true, 100, kTop + 50);
    Frame();
    EXPECT_TRUE(mouse_.IsLeftNewPress()) << "the frame of the press must report a new press";
    EXPECT_TRUE(mouse_.IsLeftDown());
    EXPECT_FALSE(mouse_.IsLeftRelease());
    Frame();
    EXPECT_FALSE(mouse_.IsLeftNewPress()) << "a held button is not a new press in the next frame";
    EXPECT_TRUE(mouse_.IsLeftDown()) << "the button is still held";
    inject::PushMouseButton(kLeft, false, 100, kTop + 50);
    Frame();
    EXPECT_TRUE(mouse_.IsLeftRelease()) << "the frame of the release must report a release";
    EXPECT_FALSE(mouse_.IsLeftDown());
    Frame();
    EXPECT_FALSE(mouse_.IsLeftRelease()) << "a release edge must last one frame";
}

TEST_F(MouseInputTest, right_button_has_its_own_edges)
{
    inject::PushMouseButton(kRight, true, 10, kTop + 10);
    Frame();
    bool left = true;
    bool right = false;
    EXPECT_FALSE(mouse_.GetPressEdges(&left, &right)) << "the result is the left edge";
    EXPECT_FALSE(left) << "a right click must not give a left edge";
    EXPECT_TRUE(right) << "the right press edge is missing";
    EXPECT_TRUE(mouse_.IsRightNewPress());
    EXPECT_FALSE(mouse_.IsLeftNewPress());
    inject::PushMouseButton(kRight, false, 10, kTop + 10);
    Frame();
    EXPECT_TRUE(mouse_.IsRightRelease());
    EXPECT_FALSE(mouse_.IsLeftRelease());
}

TEST_F(MouseInputTest, guard_hides_new_presses_but_not_raw_edges)
{
    mouse_.SetGuard(2);
    inject::PushMouseButton(kLeft, true, 5, kTop + 5);
    Frame();   // guard 2 -> 1
    bool left = false;
    EXPECT_TRUE(mouse_.GetPressEdges(&left, nullptr)) << "the raw edge query ignores the guard";
    EXPECT_FALSE(mouse_.IsLeftNewPress()) << "a press inside the guard frames must be hidden";
    inject::PushMouseButton(kLeft, false, 5, kTop + 5);
    Frame();   // guard 1 -> 0
    EXPECT_TRUE(mouse_.IsLeftRelease()) << "the guard counts down before the reading: it ended this frame";
    EXPECT_EQ(mouse_.GetGuard(), 0);

    mouse_.SetGuard(3);
    inject::PushMouseButton(kRight, true, 5, kTop + 5);
    Frame();   // 3 -> 2
    EXPECT_FALSE(mouse_.IsRightNewPress()) << "a press inside the guard frames must be hidden";
    inject::PushMouseButton(kRight, false, 5, kTop + 5);
    Frame();   // 2 -> 1
    EXPECT_FALSE(mouse_.IsRightRelease()) << "a release inside the guard frames must be hidden";
    EXPECT_EQ(mouse_.GetGuard(), 1) << "the guard counts down by one per update";
}

TEST_F(MouseInputTest, position_is_in_client_coordinates)
{
    inject::PushMouseMotion(123, kTop + 456);
    Frame();
    int x = -1;
    int y = -1;
    EXPECT_EQ(mouse_.GetPos(&x, &y), 0);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 456) << "the menu strip above the client area must be taken off y";
}

TEST_F(MouseInputTest, click_on_menu_strip_is_not_a_game_click)
{
    inject::PushMouseButton(kLeft, true, 40, kTop / 2);
    Frame();
    EXPECT_FALSE(mouse_.IsLeftDown()) << "a press on the menu bar reached the game";
    for (const Message& m : messages_) {
        EXPECT_NE(m.message, platform::kWmLButtonDown) << "a press on the menu bar reached the window's listeners";
    }
    inject::PushMouseButton(kLeft, false, 40, kTop / 2);
    Frame();
}

TEST_F(MouseInputTest, click_within_one_frame_gives_both_edges)
{
    inject::PushMouseButton(kLeft, true, 7, kTop + 7);
    inject::PushMouseButton(kLeft, false, 7, kTop + 7);
    Frame();
    EXPECT_TRUE(mouse_.IsLeftNewPress()) << "a click shorter than a frame was lost";
    Frame();
    EXPECT_TRUE(mouse_.IsLeftRelease()) << "the quick click's release must follow in the next frame";
}

TEST_F(MouseInputTest, button_messages_carry_client_coordinates)
{
    inject::PushMouseButton(kLeft, true, 30, kTop + 40);
    inject::PushMouseButton(kLeft, false, 30, kTop + 40);
    platform::PumpMessages();
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].message, platform::kWmLButtonDown);
    EXPECT_EQ(messages_[1].message, platform::kWmLButtonUp);
    EXPECT_EQ(platform::PointParamX(messages_[0].lParam), 30);
    EXPECT_EQ(platform::PointParamY(messages_[0].lParam), 40) << "lParam must hold client coordinates";
}

}  // namespace

TEST_F(MouseInputTest, wheel_steps_add_up_within_a_frame_and_last_one_frame)
{
    inject::PushMouseWheel(1);
    inject::PushMouseWheel(2);
    Frame();
    EXPECT_EQ(mouse_.GetWheel(), 3) << "every step turned before the frame counts";
    Frame();
    EXPECT_EQ(mouse_.GetWheel(), 0) << "steps are read once";
    inject::PushMouseWheel(-1);
    Frame();
    EXPECT_EQ(mouse_.GetWheel(), -1) << "towards the user is negative";
}
