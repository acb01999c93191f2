#include "platform/sdl/MnemonicLabel.h"

#include "platform/Menu.h"

namespace platform::sdl {

void DrawMnemonicLabel(ImDrawList* list, ImVec2 at, const std::string& sjis, ImU32 colour)
{
    size_t mark = std::string::npos;
    const std::string text = Menu::DisplayText(sjis, &mark);
    list->AddText(at, colour, text.c_str());
    if (mark == std::string::npos) {
        return;
    }
    // The underline spans the one (UTF-8) character after the mark.
    size_t end = mark + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        ++end;
    }
    const float x0 = at.x + ImGui::CalcTextSize(text.c_str(), text.c_str() + mark).x;
    const float x1 = at.x + ImGui::CalcTextSize(text.c_str(), text.c_str() + end).x;
    const float y = at.y + ImGui::GetFontSize();
    list->AddLine(ImVec2(x0, y), ImVec2(x1, y), colour);
}

float MnemonicLabelWidth(const std::string& sjis)
{
    return ImGui::CalcTextSize(Menu::DisplayText(sjis, nullptr).c_str()).x;
}

}  // namespace platform::sdl
