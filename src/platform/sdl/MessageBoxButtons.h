#pragma once
// Inside the platform layer only: the row of buttons of a message box in the
// window, and what the keyboard does to it, as on Windows. The focus starts
// on the default button (No in a question, so a key held through the
// question never confirms it); Left and Right, Tab and Shift+Tab move it
// round the row; Enter, keypad Enter and Space press the focused button; Esc
// answers No (OK in an OK box); a button's underlined letter presses it.
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/sdl/Overlay.h"

namespace platform::sdl {

class MessageBoxButtons {
public:
    explicit MessageBoxButtons(MessageBoxKind kind);

    // Each button's width in pixels.
    static constexpr float kButtonWidth = 88.0f;

    int Count() const { return static_cast<int>(buttons_.size()); }
    // The answer of the button at `index` (kIdOk, kIdYes, kIdNo).
    int Answer(int index) const { return buttons_[static_cast<size_t>(index)].answer; }
    // Its Shift-JIS label with the mnemonic mark ("はい(&Y)").
    const std::string& Label(int index) const { return buttons_[static_cast<size_t>(index)].label; }

    // Applies the key; returns the answer it gives, or 0 (it may have moved
    // the focus, or means nothing here). Auto-repeat moves, never answers.
    int OnKey(const KeyStroke& key);

    // Draws the row in the current ImGui window, the focused button framed
    // and each mnemonic underlined; returns the answer of a clicked button, or 0.
    int Draw();

private:
    struct Button {
        std::string label;
        int answer;
    };
    std::vector<Button> buttons_;
    int focus_ = 0;
    int escape_ = 0;   // the answer of Esc
};

}  // namespace platform::sdl
