// The ImGui view of dialogs: each control of the template drawn at its place
// (dialog units scaled to pixels), every use of a control handed to
// DialogInput so that the view and the tests share one road. Modal dialogs
// run in the overlay's nested loop; modeless ones are overlay drawers.
#include <cstring>
#include <map>
#include <memory>
#include <utility>

#include "imgui.h"
#include "platform/Dialog.h"
#include "frame/TextEncoding.h"
#include "platform/sdl/WindowState.h"

namespace platform {

namespace {

// Pixels of a dialog unit. The templates were laid out for a 9-point gothic
// face (a unit of 1.5 x 1.625 pixels); the overlay's 14-pixel face needs
// more room across (a 65-unit label holds nine 14-pixel kanji at 2.0), and
// the tallest template (323 units) still fits the 600-pixel game at 1.75.
constexpr float kUnitX = 2.0f;
constexpr float kUnitY = 1.75f;
// Bytes of an edit's UTF-8 buffer: far more than any limit the program sets.
constexpr size_t kEditBytes = 256;

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};
std::map<int, Rect> gControlRects;
DialogResponder gResponder;

const char* Label(const std::string& utf8) { return utf8.c_str(); }

// One shown dialog: its state, the person's hands on it and the UTF-8
// copies of its edits that ImGui works on.
class DialogView {
public:
    DialogView(const DialogTemplate& dialogTemplate, DialogHandler& handler)
        : state_(dialogTemplate), input_(state_, handler)
    {
        title_ = SjisToUtf8(dialogTemplate.caption) + "###lantern_dialog_" + std::to_string(++gSerial);
        for (const DialogControl& c : dialogTemplate.controls)
            labels_.push_back(SjisToUtf8(c.text) + "##" + std::to_string(c.id) + "_" + std::to_string(c.x) + "_" +
                              std::to_string(c.y));
    }

    DialogState& State() { return state_; }
    DialogInput& Input() { return input_; }
    const std::string& Title() const { return title_; }
    ImVec2 Size() const
    {
        return ImVec2(state_.Template().width * kUnitX,
                      state_.Template().height * kUnitY + ImGui::GetFrameHeight());
    }

    // Draws the controls inside the current ImGui window; `keys` lets Enter
    // and Esc act (the topmost dialog only).
    void DrawControls(bool keys)
    {
        const float top = ImGui::GetFrameHeight();
        const auto& controls = state_.Template().controls;
        // ImGui lays a new window out in a first, unseen frame, not yet at
        // its place: what a test points at is where the controls are seen.
        const bool seen = !ImGui::IsWindowAppearing();
        for (size_t i = 0; i < controls.size() && !state_.Ended(); ++i) {
            const DialogControl& c = controls[i];
            const ImVec2 pos(c.x * kUnitX, top + c.y * kUnitY);
            const ImVec2 size(c.w * kUnitX, c.h * kUnitY);
            ImGui::SetCursorPos(pos);
            const bool enabled = c.id < 0 || state_.IsEnabled(c.id);
            ImGui::BeginDisabled(!enabled);
            DrawControl(c, labels_[i], size);
            ImGui::EndDisabled();
            if (c.id >= 0 && seen) {
                const ImVec2 min = ImGui::GetItemRectMin();
                const ImVec2 max = ImGui::GetItemRectMax();
                gControlRects[c.id] = {static_cast<int>(min.x), static_cast<int>(min.y),
                                       static_cast<int>(max.x - min.x), static_cast<int>(max.y - min.y)};
            }
        }
        firstFrame_ = false;
        if (!keys || state_.Ended())
            return;
        if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter), false) ||
            ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_KeyPadEnter), false)) {
            input_.Enter();
        } else if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false)) {
            input_.Escape();
        }
    }

private:
    static int gSerial;

    struct EditBuffer {
        char utf8[kEditBytes] = {};
        std::string shown;  // the Shift-JIS text the buffer was made from
        bool refocus = false;
    };

    void DrawControl(const DialogControl& c, const std::string& label, ImVec2 size)
    {
        switch (c.kind) {
        case ControlKind::kButton:
        case ControlKind::kDefaultButton:
            if (ImGui::Button(Label(label), size))
                input_.Press(c.id);
            break;
        case ControlKind::kStatic: {
            const std::string text = SjisToUtf8(c.id >= 0 ? state_.Text(c.id) : c.text);
            ImGui::TextUnformatted(text.c_str());
            break;
        }
        case ControlKind::kGroupBox: DrawGroupBox(c, size); break;
        case ControlKind::kCheckBox: {
            bool checked = state_.IsChecked(c.id);
            if (ImGui::Checkbox(Label(label), &checked))
                input_.Press(c.id);  // toggles the state itself
            break;
        }
        case ControlKind::kSlider: {
            int pos = state_.Pos(c.id);
            ImGui::SetNextItemWidth(size.x);
            if (ImGui::SliderInt(Label("##" + label), &pos, state_.RangeLow(c.id), state_.RangeHigh(c.id), ""))
                input_.MoveSlider(c.id, pos);
            break;
        }
        case ControlKind::kCombo: DrawCombo(c, label, size); break;
        case ControlKind::kEdit: DrawEdit(c, label, size); break;
        case ControlKind::kListView: DrawList(c, label, size); break;
        }
    }

    void DrawGroupBox(const DialogControl& c, ImVec2 size)
    {
        const ImVec2 min = ImGui::GetCursorScreenPos();
        const float half = ImGui::GetTextLineHeight() / 2;
        ImDrawList* draw = ImGui::GetWindowDrawList();
        draw->AddRect(ImVec2(min.x, min.y + half), ImVec2(min.x + size.x, min.y + size.y),
                      ImGui::GetColorU32(ImGuiCol_Border));
        ImGui::SetCursorScreenPos(ImVec2(min.x + 6, min.y));
        const std::string text = SjisToUtf8(c.text);
        const ImVec2 textSize = ImGui::CalcTextSize(text.c_str());
        draw->AddRectFilled(ImVec2(min.x + 4, min.y), ImVec2(min.x + 8 + textSize.x, min.y + textSize.y),
                            ImGui::GetColorU32(ImGuiCol_PopupBg));
        ImGui::TextUnformatted(text.c_str());
    }

    void DrawCombo(const DialogControl& c, const std::string& label, ImVec2 size)
    {
        const std::string preview = SjisToUtf8(state_.ItemText(c.id, state_.Selection(c.id)));
        ImGui::SetNextItemWidth(size.x);
        if (!ImGui::BeginCombo(Label("##" + label), preview.c_str()))
            return;
        for (int i = 0; i < state_.ItemCount(c.id); ++i) {
            const std::string item = SjisToUtf8(state_.ItemText(c.id, i)) + "##" + std::to_string(i);
            if (ImGui::Selectable(item.c_str(), i == state_.Selection(c.id)))
                input_.Choose(c.id, i);
        }
        ImGui::EndCombo();
    }

    struct EditContext {
        int limit;
        bool refused = false;
    };

    static int FilterEdit(ImGuiInputTextCallbackData* data)
    {
        auto* context = static_cast<EditContext*>(data->UserData);
        if (data->EventFlag == ImGuiInputTextFlags_CallbackCharFilter) {
            if (EditAcceptsCharacter(data->EventChar))
                return 0;
            context->refused = true;
            return 1;
        }
        // After an edit: keep the first `limit` characters.
        if (context->limit > 0) {
            int count = 0;
            int pos = 0;
            while (pos < data->BufTextLen) {
                if (count == context->limit) {
                    data->DeleteChars(pos, data->BufTextLen - pos);
                    break;
                }
                const unsigned char lead = static_cast<unsigned char>(data->Buf[pos]);
                pos += lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                ++count;
            }
        }
        return 0;
    }

    void DrawEdit(const DialogControl& c, const std::string& label, ImVec2 size)
    {
        EditBuffer& buffer = edits_[c.id];
        if (buffer.shown != state_.Text(c.id) || firstFrame_) {
            buffer.shown = state_.Text(c.id);
            const std::string utf8 = SjisToUtf8(buffer.shown);
            std::strncpy(buffer.utf8, utf8.c_str(), kEditBytes - 1);
        }
        EditContext context{state_.Limit(c.id)};
        ImGui::SetNextItemWidth(size.x);
        // The field takes the keys from the start, and again after Esc or a
        // click elsewhere took them away (ImGui lets a field go on Esc).
        if (firstFrame_ || buffer.refocus)
            ImGui::SetKeyboardFocusHere();
        buffer.refocus = false;
        if (ImGui::InputText(Label("##" + label), buffer.utf8, kEditBytes,
                             ImGuiInputTextFlags_CallbackCharFilter | ImGuiInputTextFlags_CallbackEdit, FilterEdit,
                             &context)) {
            input_.SetEditText(c.id, buffer.utf8);
            buffer.shown = state_.Text(c.id);
        }
        buffer.refocus = ImGui::IsItemDeactivated();
        // After the change: the handler hears of a refused character last, as
        // a person would have seen it among what was typed in this frame.
        if (context.refused)
            input_.Refuse(c.id);
    }

    void DrawList(const DialogControl& c, const std::string& label, ImVec2 size)
    {
        const auto& columns = state_.Columns(c.id);
        if (columns.empty() ||
            !ImGui::BeginTable(Label("##" + label), static_cast<int>(columns.size()),
                               ImGuiTableFlags_Borders | ImGuiTableFlags_ScrollY | ImGuiTableFlags_RowBg, size)) {
            ImGui::Dummy(size);
            return;
        }
        ImGui::TableSetupScrollFreeze(0, 1);
        for (const ListColumn& column : columns)
            ImGui::TableSetupColumn(SjisToUtf8(column.title).c_str(), ImGuiTableColumnFlags_WidthFixed,
                                    static_cast<float>(column.width));
        ImGui::TableHeadersRow();
        // Only the rows in sight are converted and drawn: a scenario may
        // have thousands of variables, and the watch is drawn every frame.
        const auto& rows = state_.Rows(c.id);
        ImGuiListClipper clipper;
        clipper.Begin(static_cast<int>(rows.size()));
        while (clipper.Step()) {
            for (int r = clipper.DisplayStart; r < clipper.DisplayEnd; ++r) {
                const auto& row = rows[static_cast<size_t>(r)];
                ImGui::TableNextRow();
                for (size_t i = 0; i < row.size() && i < columns.size(); ++i) {
                    ImGui::TableSetColumnIndex(static_cast<int>(i));
                    ImGui::TextUnformatted(SjisToUtf8(row[i]).c_str());
                }
            }
        }
        ImGui::EndTable();
    }

    DialogState state_;
    DialogInput input_;
    std::string title_;
    std::vector<std::string> labels_;
    std::map<int, EditBuffer> edits_;
    bool firstFrame_ = true;
};

int DialogView::gSerial = 0;

constexpr ImGuiWindowFlags kDialogFlags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                                          ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollbar |
                                          ImGuiWindowFlags_NoScrollWithMouse;

ImVec2 GameCentre()
{
    const sdl::Viewport game = sdl::ClientViewport();
    return ImVec2(game.x + game.w / 2.0f, game.y + game.h / 2.0f);
}

struct Modeless {
    std::unique_ptr<DialogView> view;
    int drawer = 0;
    Rect shown;  // where its window was last drawn, window pixels
};
std::map<int, Modeless> gModeless;
int gNextModeless = 1;

}  // namespace

void SetDialogResponder(DialogResponder responder) { gResponder = std::move(responder); }

int RunModalDialog(const DialogTemplate& dialogTemplate, DialogHandler& handler, int fallback)
{
    DialogView view(dialogTemplate, handler);
    handler.OnInit(view.State());
    if (gResponder) {
        gResponder(view.State(), view.Input());
        return view.State().Ended() ? view.State().Result() : fallback;
    }
    if (!sdl::MainWindowState().window)
        return fallback;
    bool opened = false;
    const bool shown = sdl::RunModalLoop([&]() {
        if (!opened) {
            ImGui::OpenPopup(view.Title().c_str());
            opened = true;
        }
        ImGui::SetNextWindowPos(GameCentre(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        ImGui::SetNextWindowSize(view.Size(), ImGuiCond_Always);
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
        const bool open = ImGui::BeginPopupModal(view.Title().c_str(), nullptr, kDialogFlags | ImGuiWindowFlags_NoMove);
        ImGui::PopStyleVar();
        if (!open)
            return false;  // closed from outside: the fallback stands
        view.DrawControls(true);
        if (view.State().Ended())
            ImGui::CloseCurrentPopup();
        ImGui::EndPopup();
        return !view.State().Ended();
    });
    if (!shown || !view.State().Ended())
        return fallback;
    return view.State().Result();
}

int OpenModelessDialog(const DialogTemplate& dialogTemplate, DialogHandler& handler)
{
    if (!sdl::MainWindowState().window)
        return 0;
    const int id = gNextModeless++;
    Modeless& entry = gModeless[id];
    entry.view = std::make_unique<DialogView>(dialogTemplate, handler);
    handler.OnInit(entry.view->State());
    DialogView* view = entry.view.get();
    Rect* shown = &entry.shown;
    entry.drawer = sdl::AddOverlayDrawer([view, shown]() {
        const sdl::Viewport game = sdl::ClientViewport();
        ImGui::SetNextWindowPos(ImVec2(game.x + 8.0f, game.y + 8.0f), ImGuiCond_FirstUseEver);
        ImGui::SetNextWindowSize(view->Size(), ImGuiCond_Always);
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
        const bool open = ImGui::Begin(view->Title().c_str(), nullptr, kDialogFlags);
        ImGui::PopStyleVar();
        if (open)
            view->DrawControls(false);
        const ImVec2 pos = ImGui::GetWindowPos();
        const ImVec2 size = ImGui::GetWindowSize();
        *shown = {static_cast<int>(pos.x), static_cast<int>(pos.y), static_cast<int>(size.x),
                  static_cast<int>(size.y)};
        ImGui::End();
    });
    return id;
}

void CloseModelessDialog(int id)
{
    const auto it = gModeless.find(id);
    if (it == gModeless.end())
        return;
    sdl::RemoveOverlayDrawer(it->second.drawer);
    gModeless.erase(it);
}

DialogState* ModelessDialogState(int id)
{
    const auto it = gModeless.find(id);
    return it == gModeless.end() ? nullptr : &it->second.view->State();
}

namespace sdl {

bool OverlayOwnsPress(int windowX, int windowY)
{
    if (gModeless.empty())
        return false;
    // ImGui's own view at its last frame (a drag begun on the window, say).
    if (ImGui::GetCurrentContext() && ImGui::GetIO().WantCaptureMouse)
        return true;
    for (const auto& [id, entry] : gModeless) {
        (void)id;
        const Rect& r = entry.shown;
        if (windowX >= r.x && windowX < r.x + r.w && windowY >= r.y && windowY < r.y + r.h)
            return true;
    }
    return false;
}

}  // namespace sdl

namespace testing {

bool DialogControlRect(int id, int* x, int* y, int* w, int* h)
{
    const auto it = gControlRects.find(id);
    if (it == gControlRects.end())
        return false;
    *x = it->second.x;
    *y = it->second.y;
    *w = it->second.w;
    *h = it->second.h;
    return true;
}

}  // namespace testing

}  // namespace platform
