#pragma once
// Keyboard, joystick and mouse state as the message pump last saw it. The
// pump tracks every key, button and pointer event; a snapshot reports a key
// or button as down while it is held and also once after a press that was
// released again before the snapshot, so a tap shorter than a frame is not
// lost. Game thread only.
#include <array>
#include <cstdint>

namespace platform {

// Key codes: the USB HID keyboard usage numbers (the same numbers SDL uses
// for its scancodes). Only the keys the program names are listed.
enum class Key : uint16_t {
    A = 4, Z = 29,
    Num1 = 30, Num0 = 39,
    Return = 40, Escape = 41, Backspace = 42, Tab = 43, Space = 44,
    F1 = 58, F10 = 67, F12 = 69,
    Right = 79, Left = 80, Down = 81, Up = 82,
    KeypadEnter = 88, Keypad1 = 89, Keypad2 = 90, Keypad3 = 91, Keypad4 = 92,
    Keypad5 = 93, Keypad6 = 94, Keypad7 = 95, Keypad8 = 96, Keypad9 = 97, Keypad0 = 98,
    LeftCtrl = 224, LeftShift = 225, LeftAlt = 226,
    RightCtrl = 228, RightShift = 229, RightAlt = 230,
};
constexpr int kKeyCount = 512;

// Joystick directions, numbered as the key bindings name them.
enum class JoyDirection : int { Up = 0, Down = 1, Left = 2, Right = 3 };
constexpr int kJoyButtonCount = 32;

struct KeySnapshot {
    std::array<bool, kKeyCount> keys{};
    std::array<bool, kJoyButtonCount> joyButtons{};
    std::array<bool, 4> joyDirections{};   // indexed by JoyDirection
};

struct MouseSnapshot {
    int x = 0;          // client coordinates of the last pointer position
    int y = 0;
    bool left = false;
    bool right = false;
    bool middle = false;
    int wheel = 0;      // wheel steps since the last read: positive away from the user
};

// Reads the keyboard and joystick state and clears their tap memory.
void ReadKeys(KeySnapshot* out);
// Reads the mouse state and clears its tap memory.
void ReadMouse(MouseSnapshot* out);
// Forgets every held key and button (used when the window loses the focus).
void ResetInputState();

}  // namespace platform
