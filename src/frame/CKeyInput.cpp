#include "frame/CKeyInput.h"

#include <cstddef>

using std::size_t;
using platform::JoyDirection;
using platform::Key;

CKeyInput::CKeyInput(int buttons)
    : bindings_(static_cast<size_t>(buttons > 0 ? buttons : 0)), pressed_(bindings_.size(), false)
{
}

CKeyInput::~CKeyInput() = default;

void CKeyInput::Update()
{
    platform::KeySnapshot snapshot;
    platform::ReadKeys(&snapshot);
    for (size_t button = 0; button < bindings_.size(); ++button) {
        bool down = false;
        for (const Binding& binding : bindings_[button]) {
            switch (binding.kind) {
            case Binding::Kind::Key:
                down = snapshot.keys[static_cast<size_t>(binding.code)];
                break;
            case Binding::Kind::JoystickButton:
                down = snapshot.joyButtons[static_cast<size_t>(binding.code)];
                break;
            case Binding::Kind::JoystickDirection:
                down = snapshot.joyDirections[static_cast<size_t>(binding.code)];
                break;
            }
            if (down) {
                break;
            }
        }
        pressed_[button] = down;
    }
}

bool CKeyInput::IsPressed(int button) const
{
    return button >= 0 && static_cast<size_t>(button) < pressed_.size() && pressed_[static_cast<size_t>(button)];
}

void CKeyInput::Bind(int button, Binding binding)
{
    if (button >= 0 && static_cast<size_t>(button) < bindings_.size()) {
        bindings_[static_cast<size_t>(button)].push_back(binding);
    }
}

void CKeyInput::BindKey(int button, Key key)
{
    const int code = static_cast<int>(key);
    if (code > 0 && code < platform::kKeyCount) {
        Bind(button, {Binding::Kind::Key, code});
    }
}

void CKeyInput::BindJoystickButton(int button, int joystickButton)
{
    if (joystickButton >= 0 && joystickButton < platform::kJoyButtonCount) {
        Bind(button, {Binding::Kind::JoystickButton, joystickButton});
    }
}

void CKeyInput::BindJoystickDirection(int button, JoyDirection direction)
{
    const int code = static_cast<int>(direction);
    if (code >= 0 && code < 4) {
        Bind(button, {Binding::Kind::JoystickDirection, code});
    }
}

CGameKeyInput::CGameKeyInput() : CKeyInput(8)
{
    BindKey(0, Key::Escape);
    const struct {
        Key arrow;
        Key keypad;
        JoyDirection direction;
    } directions[4] = {
        {Key::Up, Key::Keypad8, JoyDirection::Up},
        {Key::Down, Key::Keypad2, JoyDirection::Down},
        {Key::Left, Key::Keypad4, JoyDirection::Left},
        {Key::Right, Key::Keypad6, JoyDirection::Right},
    };
    for (int i = 0; i < 4; ++i) {
        BindKey(1 + i, directions[i].arrow);
        BindKey(1 + i, directions[i].keypad);
        BindJoystickDirection(1 + i, directions[i].direction);
    }
    BindKey(5, Key::Space);
    BindJoystickButton(5, 4);
    BindKey(6, Key::Return);
    BindKey(6, Key::KeypadEnter);
    BindKey(6, Key::LeftShift);
    BindKey(6, Key::RightShift);
    BindJoystickButton(6, 5);
    BindKey(7, Key::LeftCtrl);
    BindKey(7, Key::RightCtrl);
    BindJoystickButton(7, 6);
}
