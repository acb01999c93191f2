#include <gtest/gtest.h>

#include "support/MainWindowFixture.h"
#include "frame/CKeyInput.h"
#include "platform/EventInjection.h"

using platform::Key;
namespace inject = platform::testing;

namespace {

class KeyInputTest : public MainWindowFixture {
protected:
    // Pumps the queued events and reads the devices, as one frame does.
    void Frame(CKeyInput& keys)
    {
        platform::PumpMessages();
        keys.Update();
    }

    static std::vector<int> PressedButtons(const CKeyInput& keys)
    {
        std::vector<int> pressed;
        for (int b = 0; b < keys.GetButtonCount(); ++b) {
            if (keys.IsPressed(b)) {
                pressed.push_back(b);
            }
        }
        return pressed;
    }
};

TEST_F(KeyInputTest, default_key_bindings_reach_exactly_their_button)
{
    const struct {
        Key key;
        int button;
    } cases[] = {
        {Key::Escape, 0},      {Key::Up, 1},          {Key::Keypad8, 1},    {Key::Down, 2},
        {Key::Keypad2, 2},     {Key::Left, 3},        {Key::Keypad4, 3},    {Key::Right, 4},
        {Key::Keypad6, 4},     {Key::Space, 5},       {Key::Return, 6},     {Key::KeypadEnter, 6},
        {Key::LeftShift, 6},   {Key::RightShift, 6},  {Key::LeftCtrl, 7},   {Key::RightCtrl, 7},
    };
    CGameKeyInput keys;
    ASSERT_EQ(keys.GetButtonCount(), 8) << "the game has eight virtual buttons";
    for (const auto& c : cases) {
        ASSERT_TRUE(inject::PushKey(c.key, true));
        Frame(keys);
        EXPECT_EQ(PressedButtons(keys), std::vector<int>{c.button})
            << "key " << static_cast<int>(c.key) << " must press button " << c.button << " and no other";
        ASSERT_TRUE(inject::PushKey(c.key, false));
        Frame(keys);
        EXPECT_TRUE(PressedButtons(keys).empty())
            << "releasing key " << static_cast<int>(c.key) << " must release its button";
    }
}

TEST_F(KeyInputTest, unbound_keys_press_nothing)
{
    CGameKeyInput keys;
    for (Key key : {Key::A, Key::Keypad5, Key::Tab, Key::LeftAlt, Key::F1}) {
        inject::PushKey(key, true);
    }
    Frame(keys);
    EXPECT_TRUE(PressedButtons(keys).empty()) << "a key without a binding pressed a virtual button";
}

TEST_F(KeyInputTest, default_joystick_bindings)
{
    CGameKeyInput keys;
    const struct {
        int joyButton;
        int button;
    } cases[] = {{4, 5}, {5, 6}, {6, 7}};
    for (const auto& c : cases) {
        inject::PushJoystickButton(c.joyButton, true);
        Frame(keys);
        EXPECT_EQ(PressedButtons(keys), std::vector<int>{c.button})
            << "joystick button " << c.joyButton << " must press virtual button " << c.button;
        inject::PushJoystickButton(c.joyButton, false);
        Frame(keys);
    }
    inject::PushJoystickButton(0, true);
    Frame(keys);
    EXPECT_TRUE(PressedButtons(keys).empty()) << "joystick button 0 has no binding";
    inject::PushJoystickButton(0, false);

    inject::PushJoystickHat(1);   // up
    Frame(keys);
    EXPECT_EQ(PressedButtons(keys), std::vector<int>{1}) << "hat up must press button 1";
    inject::PushJoystickHat(0);
    inject::PushJoystickAxis(0, 32767);   // right
    Frame(keys);
    EXPECT_EQ(PressedButtons(keys), std::vector<int>{4}) << "the stick pushed right must press button 4";
    inject::PushJoystickAxis(0, 2000);   // inside the dead zone
    inject::PushJoystickAxis(1, -32768);  // up
    Frame(keys);
    EXPECT_EQ(PressedButtons(keys), std::vector<int>{1})
        << "a small axis value must not count; the stick pushed up must press button 1";
}

TEST_F(KeyInputTest, held_key_stays_pressed_across_frames)
{
    CGameKeyInput keys;
    inject::PushKey(Key::Space, true);
    for (int frame = 0; frame < 3; ++frame) {
        Frame(keys);
        EXPECT_TRUE(keys.IsPressed(5)) << "a held Space was dropped in frame " << frame;
    }
    inject::PushKey(Key::Space, false);
    Frame(keys);
    EXPECT_FALSE(keys.IsPressed(5)) << "Space was released but its button stayed pressed";
}

TEST_F(KeyInputTest, tap_within_one_frame_counts_once)
{
    CGameKeyInput keys;
    inject::PushKey(Key::Return, true);
    inject::PushKey(Key::Return, false);
    Frame(keys);
    EXPECT_TRUE(keys.IsPressed(6)) << "a press released before the frame's reading was lost";
    Frame(keys);
    EXPECT_FALSE(keys.IsPressed(6)) << "a tap must count in one frame only";
}

TEST_F(KeyInputTest, focus_loss_releases_held_keys)
{
    CGameKeyInput keys;
    inject::PushKey(Key::LeftCtrl, true);
    Frame(keys);
    ASSERT_TRUE(keys.IsPressed(7));
    inject::PushFocus(false);
    Frame(keys);
    EXPECT_FALSE(keys.IsPressed(7)) << "a key held while the window lost the focus would stay down for ever";
}

TEST(KeyInput, custom_bindings_and_out_of_range_buttons)
{
    CKeyInput keys(2);
    keys.BindKey(5, Key::A);    // ignored: no button 5
    keys.BindKey(-1, Key::A);   // ignored
    EXPECT_FALSE(keys.IsPressed(-1)) << "a negative button must read as not pressed";
    EXPECT_FALSE(keys.IsPressed(2)) << "a button past the end must read as not pressed";
    EXPECT_EQ(keys.GetButtonCount(), 2);
}

}  // namespace
