#pragma once
// CKeyInput: virtual buttons bound to keys, joystick buttons and joystick
// directions; a button is pressed while any of its inputs is held.
// CGameKeyInput: the game's eight buttons with their default bindings.
#include <vector>

#include "platform/Input.h"

class CKeyInput {
public:
    // `buttons` virtual buttons, none bound.
    explicit CKeyInput(int buttons = 8);
    virtual ~CKeyInput();

    // Reads every input device once; IsPressed answers from this reading.
    void Update();
    // True while any input bound to the button is held (at the last Update);
    // false for a button out of range.
    bool IsPressed(int button) const;
    int GetButtonCount() const { return static_cast<int>(bindings_.size()); }

    // Add an input to a button (ignored for a button out of range).
    void BindKey(int button, platform::Key key);
    void BindJoystickButton(int button, int joystickButton);
    void BindJoystickDirection(int button, platform::JoyDirection direction);

private:
    struct Binding {
        enum class Kind { Key, JoystickButton, JoystickDirection } kind;
        int code;
    };
    void Bind(int button, Binding binding);

    std::vector<std::vector<Binding>> bindings_;
    std::vector<bool> pressed_;
};

// Buttons: 0 Esc; 1 up, 2 down, 3 left, 4 right (arrow keys, keypad 8, 2, 4,
// 6, the joystick's directions); 5 Space or joystick button 4; 6 Enter,
// keypad Enter, either Shift or joystick button 5; 7 either Ctrl or joystick
// button 6.
class CGameKeyInput : public CKeyInput {
public:
    CGameKeyInput();
};
