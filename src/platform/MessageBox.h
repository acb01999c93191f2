#pragma once
// Message boxes, synchronous like the call they replace. Once the main window
// exists the box is an ImGui modal drawn over the last frame in a nested loop;
// before that, the text goes to stderr and, only when a display is available,
// to SDL's simple message box. Without a display nothing blocks and the box
// answers its default button. Texts are Shift-JIS.
#include <functional>
#include <string>

namespace platform {

enum class MessageBoxKind { Ok, YesNo };

// The answers, numbered as the program tests them.
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Shows the box and returns the answer: kIdOk for Ok boxes; kIdYes or kIdNo
// for Yes/No boxes, whose default is No (Enter and Esc answer No). Game thread.
int ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind);

// A responder answers every box instead of the person (tests); it receives
// the Shift-JIS text and caption and returns the answer. Null restores the
// real boxes.
using MessageBoxResponder =
    std::function<int(const std::string& text, const std::string& caption, MessageBoxKind kind)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

}  // namespace platform
