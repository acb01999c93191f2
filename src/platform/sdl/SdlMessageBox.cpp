// Message boxes: an ImGui modal over the last frame once the window exists;
// before that stderr and, with a display, SDL's own box.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imgui.h"
#include "platform/MessageBox.h"
#include "frame/TextEncoding.h"
#include "platform/sdl/MessageBoxButtons.h"
#include "platform/sdl/Overlay.h"
#include "platform/sdl/WindowState.h"

namespace platform {

namespace {

MessageBoxResponder gResponder;

int DefaultAnswer(MessageBoxKind kind) { return kind == MessageBoxKind::YesNo ? kIdNo : kIdOk; }

// Before the window: the person may not be looking at a screen at all, so the
// text always reaches stderr; SDL's box only when there is a display to show it.
int ShowWithoutWindow(const std::string& text, const std::string& caption, MessageBoxKind kind)
{
    const std::string utf8Text = SjisToUtf8(text);
    const std::string utf8Caption = SjisToUtf8(caption);
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
    if (!sdl::HasDisplay()) {
        return DefaultAnswer(kind);
    }
    SDL_MessageBoxButtonData buttons[2] = {};
    int count = 1;
    if (kind == MessageBoxKind::YesNo) {
        buttons[0] = {0, kIdYes, "Yes"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kIdNo, "No"};
        count = 2;
    } else {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kIdOk,
                      "OK"};
    }
    SDL_MessageBoxData data = {};
    data.flags = SDL_MESSAGEBOX_INFORMATION;
    data.title = utf8Caption.c_str();
    data.message = utf8Text.c_str();
    data.numbuttons = count;
    data.buttons = buttons;
    int answer = 0;
    if (SDL_ShowMessageBox(&data, &answer) != 0 || answer <= 0) {
        return DefaultAnswer(kind);
    }
    return answer;
}

int ShowInWindow(const std::string& text, const std::string& caption, MessageBoxKind kind, bool* shown)
{
    const std::string utf8Text = SjisToUtf8(text);
    const std::string title = SjisToUtf8(caption) + "###lantern_message_box";
    int answer = 0;
    bool opened = false;
    sdl::MessageBoxButtons buttons(kind);
    *shown = sdl::RunModalLoop([&]() {
        if (!opened) {
            ImGui::OpenPopup("###lantern_message_box");
            opened = true;
        }
        const ImVec2 centre = ImGui::GetMainViewport()->GetCenter();
        ImGui::SetNextWindowPos(centre, ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        if (!ImGui::BeginPopupModal(title.c_str(), nullptr,
                                    ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove)) {
            answer = DefaultAnswer(kind);
            return false;
        }
        ImGui::PushTextWrapPos(480.0f);
        ImGui::TextUnformatted(utf8Text.c_str());
        ImGui::PopTextWrapPos();
        ImGui::Spacing();
        for (const sdl::KeyStroke& key : sdl::FrameKeyStrokes()) {
            answer = answer != 0 ? answer : buttons.OnKey(key);
        }
        const int clicked = buttons.Draw();
        answer = answer != 0 ? answer : clicked;
        if (answer != 0) {
            ImGui::CloseCurrentPopup();
        }
        ImGui::EndPopup();
        return answer == 0;
    });
    return answer;
}

}  // namespace

void SetMessageBoxResponder(MessageBoxResponder responder) { gResponder = std::move(responder); }

int ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind)
{
    if (gResponder) {
        return gResponder(text, caption, kind);
    }
    if (sdl::MainWindowState().window) {
        bool shown = false;
        const int answer = ShowInWindow(text, caption, kind, &shown);
        if (shown) {
            return answer;
        }
        // No nested loop could run here (inside an overlay drawer, without a
        // display, or the program is ending): answer by default.
        std::fprintf(stderr, "%s: %s\n", SjisToUtf8(caption).c_str(), SjisToUtf8(text).c_str());
        return DefaultAnswer(kind);
    }
    return ShowWithoutWindow(text, caption, kind);
}

}  // namespace platform
