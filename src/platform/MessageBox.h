#pragma once
// Message boxes, synchronous like the call they replace. Once the main window
// exists the box is an ImGui modal drawn over the last frame in a nested loop
// that sleeps until an event comes; before that, the text goes to stderr
// ("lantern: " lines) and, only when a display is available, into the same
// modal in a small window of its own (it renders Japanese in any locale).
// Without a display (before or after the window), and once the program is
// ending (EndRequested in MessagePump.h), nothing blocks: the text goes to
// stderr and the box answers its default button. SIGTERM, SIGINT or closing
// the window end the box with its default, and the program. A text too long
// for the window is shown cut, ending in "…", and reaches stderr whole; the
// buttons always stay in sight. Texts are Shift-JIS.
#include <functional>
#include <string>

namespace platform {

enum class MessageBoxKind { Ok, YesNo };

// The answers, numbered as the program tests them.
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Shows the box and returns the answer: kIdOk for Ok boxes; kIdYes or kIdNo
// for Yes/No boxes, whose default is No. In the window the keyboard works as
// on Windows: the focus starts on the default button, Left/Right and
// Tab/Shift+Tab move it, Enter or Space presses it, Esc answers No (OK),
// "Y" and "N" press their buttons; its keys never reach the game. Game thread.
int ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind);

// A responder answers every box instead of the person (tests); it receives
// the Shift-JIS text and caption and returns the answer. Before the main
// window the text still reaches stderr, as it would without a responder.
// Null restores the real boxes.
using MessageBoxResponder =
    std::function<int(const std::string& text, const std::string& caption, MessageBoxKind kind)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

}  // namespace platform
