#pragma once
// Inside the platform layer only: texts with a mnemonic ("&F"), drawn with
// the letter underlined, as menus and the buttons of message boxes show them.
// Texts are Shift-JIS; call during an ImGui frame (the font measures them).
#include <string>

#include "imgui.h"

namespace platform::sdl {

// Draws the text without its marks at `at`, the mnemonic letter underlined.
void DrawMnemonicLabel(ImDrawList* list, ImVec2 at, const std::string& sjis, ImU32 colour);
// Width in pixels of the text as DrawMnemonicLabel draws it.
float MnemonicLabelWidth(const std::string& sjis);

}  // namespace platform::sdl
