#include "platform/sdl/MessageBoxButtons.h"

#include "imgui.h"
#include "platform/Input.h"
#include "platform/Menu.h"
#include "platform/sdl/MnemonicLabel.h"

namespace platform::sdl {

MessageBoxButtons::MessageBoxButtons(MessageBoxKind kind)
{
    if (kind == MessageBoxKind::YesNo) {
        buttons_ = {{"はい(&Y)", kIdYes}, {"いいえ(&N)", kIdNo}};
        focus_ = 1;
        escape_ = kIdNo;
    } else {
        buttons_ = {{"OK", kIdOk}};
        escape_ = kIdOk;
    }
}

int MessageBoxButtons::OnKey(const KeyStroke& key)
{
    const int count = Count();
    switch (static_cast<Key>(key.scancode)) {
    case Key::Left: focus_ = (focus_ + count - 1) % count; return 0;
    case Key::Right: focus_ = (focus_ + 1) % count; return 0;
    case Key::Tab: focus_ = (focus_ + (key.shift ? count - 1 : 1)) % count; return 0;
    case Key::Return:
    case Key::KeypadEnter:
    case Key::Space: return key.repeat ? 0 : Answer(focus_);
    case Key::Escape: return key.repeat ? 0 : escape_;
    default: break;
    }
    if (key.letter == 0 || key.repeat) {
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        if (Menu::MnemonicKey(Label(i)) == key.letter) {
            focus_ = i;
            return Answer(i);
        }
    }
    return 0;
}

int MessageBoxButtons::Draw()
{
    int answer = 0;
    const float height = ImGui::GetFrameHeight();
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) {
            ImGui::SameLine();
        }
        ImGui::PushID(i);
        if (ImGui::Button("##button", ImVec2(kButtonWidth, height))) {
            answer = Answer(i);
        }
        ImGui::PopID();
        const ImVec2 min = ImGui::GetItemRectMin();
        const ImVec2 max = ImGui::GetItemRectMax();
        ImDrawList* list = ImGui::GetWindowDrawList();
        const float width = MnemonicLabelWidth(Label(i));
        DrawMnemonicLabel(list, ImVec2(min.x + (kButtonWidth - width) / 2, min.y + (height - ImGui::GetFontSize()) / 2),
                          Label(i), ImGui::GetColorU32(ImGuiCol_Text));
        if (i == focus_) {
            // The keyboard's button: a frame inside its edge, as Windows
            // draws the focus.
            list->AddRect(ImVec2(min.x + 2, min.y + 2), ImVec2(max.x - 2, max.y - 2),
                          ImGui::GetColorU32(ImGuiCol_NavHighlight), 0.0f, 0, 2.0f);
        }
    }
    return answer;
}

}  // namespace platform::sdl
