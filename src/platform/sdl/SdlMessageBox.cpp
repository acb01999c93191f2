// Message boxes: an ImGui modal over the last frame once the window exists;
// before that stderr and, with a display, the same modal in a window of its own.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "imgui.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"
#include "frame/TextEncoding.h"
#include "platform/sdl/BoxText.h"
#include "platform/sdl/MessageBoxButtons.h"
#include "platform/sdl/Overlay.h"
#include "platform/sdl/WindowState.h"

namespace platform {

namespace {

MessageBoxResponder gResponder;

int DefaultAnswer(MessageBoxKind kind) { return kind == MessageBoxKind::YesNo ? kIdNo : kIdOk; }

// Where the box's text wraps: pixels from the box's left edge, inside its
// padding (ShowInWindow draws it so, MeasureBox sizes a window for it).
constexpr float kWrapAt = 480.0f;
// The most the text may take up and down: about 25 lines of the 14 px font.
// With the title bar and the button row the box stays under 480 px, so its
// buttons are on the 800 x 600 window and on any screen a box window opens on.
constexpr float kMaxTextHeight = 360.0f;

// The layer's font, built (null when the layer has none). Built only once:
// building again lays the atlas out anew under the texture the renderer
// already holds, and every glyph on the window turns to a block.
const ImFont* BoxFont()
{
    ImGuiIO& io = ImGui::GetIO();
    if (!io.Fonts->IsBuilt()) {
        io.Fonts->Build();
    }
    return io.Fonts->Fonts.empty() ? nullptr : io.Fonts->Fonts[0];
}

// The part of the text the box shows, laid out as ShowInWindow lays it out
// (the ImGui layer must be up). Texts are UTF-8.
std::string ShownText(const std::string& utf8Text)
{
    const ImFont* font = BoxFont();
    if (!font) {
        return utf8Text;
    }
    const float wrap = kWrapAt - ImGui::GetStyle().WindowPadding.x;
    // The atlas holds the Japanese ranges only: without U+2026 the mark
    // would draw as the fallback "?".
    const std::string mark = font->FindGlyphNoFallback(0x2026) ? sdl::kCutMark : sdl::kAsciiCutMark;
    return sdl::FitBoxText(utf8Text, mark, [&](const std::string& text) {
        const ImVec2 size = font->CalcTextSizeA(font->FontSize, FLT_MAX, wrap, text.data(), text.data() + text.size());
        return size.y <= kMaxTextHeight;
    });
}

// The box over the window's last frame; texts are UTF-8.
int ShowInWindow(const std::string& utf8Text, const std::string& utf8Caption, MessageBoxKind kind, bool* shown)
{
    const std::string title = utf8Caption + "###lantern_message_box";
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
        ImGui::PushTextWrapPos(kWrapAt);
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

// The box's text on stderr, every line as "lantern: " lines are: the caption
// leads the first. Texts are UTF-8.
void WriteToStderr(const std::string& utf8Text, const std::string& utf8Caption)
{
    std::istringstream lines(utf8Caption + ": " + utf8Text);
    std::string out;
    for (std::string line; std::getline(lines, line);) {
        out += "lantern: " + line + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stderr);
    std::fflush(stderr);
}

// The size of a window that holds the box as ShowInWindow lays it out, with
// a margin around it, in the ImGui layer's font (the layer must be up).
void MeasureBox(const std::string& utf8Text, const std::string& utf8Caption, MessageBoxKind kind, int* width,
                int* height)
{
    constexpr float kButtonWidth = sdl::MessageBoxButtons::kButtonWidth;
    constexpr float kMargin = 24.0f;
    const ImFont* font = BoxFont();
    if (!font) {
        return;
    }
    const ImGuiStyle& style = ImGui::GetStyle();
    const float size = font->FontSize;
    const ImVec2 text = font->CalcTextSizeA(size, FLT_MAX, kWrapAt - style.WindowPadding.x, utf8Text.c_str());
    const ImVec2 title = font->CalcTextSizeA(size, FLT_MAX, 0.0f, utf8Caption.c_str());
    const float buttons = kind == MessageBoxKind::YesNo ? 2 * kButtonWidth + style.ItemSpacing.x : kButtonWidth;
    const float line = size + 2 * style.FramePadding.y;  // the title bar, a button
    const float contentWidth = std::max({text.x, buttons, title.x + 2 * style.FramePadding.x});
    const float boxWidth = contentWidth + 2 * style.WindowPadding.x;
    const float boxHeight = line + 2 * style.WindowPadding.y + text.y + 2 * style.ItemSpacing.y + line;
    *width = static_cast<int>(std::ceil(boxWidth + 2 * kMargin));
    *height = static_cast<int>(std::ceil(boxHeight + 2 * kMargin));
}

// Before the main window: the person may not be looking at a screen at all,
// so the text always reaches stderr; a box only when there is a display to
// show it and the program is not ending (a box then would hold the process
// with nothing under it). The box gets a window of its own. Texts are UTF-8.
int ShowWithoutWindow(const std::string& utf8Text, const std::string& utf8Caption, MessageBoxKind kind)
{
    WriteToStderr(utf8Text, utf8Caption);
    if (!sdl::HasDisplay() || EndRequested()) {
        return DefaultAnswer(kind);
    }
    int answer = 0;
    bool shown = false;
    std::string shownText;  // stderr has the whole text already
    const bool ran = sdl::RunInBoxWindow(
        utf8Caption,
        [&](int* width, int* height) {
            shownText = ShownText(utf8Text);
            MeasureBox(shownText, utf8Caption, kind, width, height);
        },
        [&] { answer = ShowInWindow(shownText, utf8Caption, kind, &shown); });
    return ran && shown && answer != 0 ? answer : DefaultAnswer(kind);
}

}  // namespace

void SetMessageBoxResponder(MessageBoxResponder responder) { gResponder = std::move(responder); }

int ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind)
{
    const bool inWindow = sdl::MainWindowState().window != nullptr;
    if (gResponder) {
        // The responder stands in for the person only: what a box before the
        // window writes to stderr is written all the same.
        if (!inWindow) {
            WriteToStderr(SjisToUtf8(text), SjisToUtf8(caption));
        }
        return gResponder(text, caption, kind);
    }
    const std::string utf8Text = SjisToUtf8(text);
    const std::string utf8Caption = SjisToUtf8(caption);
    if (inWindow) {
        // A box that shows only part of its text leaves the whole of it on
        // stderr, before it waits for the person.
        const std::string shownText = ShownText(utf8Text);
        const bool cut = shownText != utf8Text;
        if (cut) {
            WriteToStderr(utf8Text, utf8Caption);
        }
        bool shown = false;
        const int answer = ShowInWindow(shownText, utf8Caption, kind, &shown);
        if (shown) {
            return answer;
        }
        // No nested loop could run here (inside an overlay drawer, without a
        // display, or the program is ending): answer by default.
        if (!cut) {
            WriteToStderr(utf8Text, utf8Caption);
        }
        return DefaultAnswer(kind);
    }
    return ShowWithoutWindow(utf8Text, utf8Caption, kind);
}

}  // namespace platform
