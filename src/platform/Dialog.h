#pragma once
// Dialogs the way a dialog resource and its procedure make them: the program
// describes a dialog (a template of controls with ids, texts and places in
// dialog units) and handles its commands; the layer keeps the controls' state
// and shows it as an ImGui window over the game.
//
// The state (DialogState) and the person's actions on it (DialogInput) hold
// no ImGui, so tests drive a dialog through the very calls the view makes,
// with or without a window. Texts are Shift-JIS throughout.
//
//   DialogTemplate / DialogControl   what the program describes
//   DialogState                      the controls' values, enabling, result
//   DialogHandler                    the program's side: init and commands
//   DialogInput                      what a person does: press, slide, type
//   RunModalDialog / OpenModeless... showing it; the responder for tests
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class ControlKind {
    kButton,
    kDefaultButton,  // pressed by Enter
    kStatic,
    kGroupBox,
    kCheckBox,       // toggles itself when pressed
    kSlider,         // a trackbar without tick marks
    kCombo,          // a drop-down list
    kEdit,           // one line of text
    kListView,       // a report list with columns
};

struct DialogControl {
    int id = -1;  // -1: a label nobody addresses
    ControlKind kind = ControlKind::kStatic;
    std::string text;
    int x = 0;  // place and size in dialog units
    int y = 0;
    int w = 0;
    int h = 0;
};

struct DialogTemplate {
    int resourceId = 0;
    std::string caption;
    int width = 0;   // dialog units
    int height = 0;
    std::vector<DialogControl> controls;
};

// The control id Esc presses when the template has it.
constexpr int kIdCancel = 2;

// Why the handler hears from a control.
enum class Notify {
    kClicked,  // a button or check box was pressed (a check box has toggled)
    kChanged,  // a slider moved, a combo chose, an edit's text changed
    kRefused,  // an edit refused a typed character (not in Shift-JIS)
};

struct ListColumn {
    std::string title;
    int width = 0;  // pixels
};

// The values of one open dialog's controls. Ids the template lacks read as
// empty, unchecked, 0 or -1 and ignore writes, as a missing control would.
class DialogState {
public:
    explicit DialogState(DialogTemplate dialogTemplate);

    const DialogTemplate& Template() const { return template_; }
    bool Has(int id) const;

    void Enable(int id, bool enabled);
    bool IsEnabled(int id) const;
    void SetText(int id, std::string text);
    const std::string& Text(int id) const;

    void SetChecked(int id, bool checked);
    bool IsChecked(int id) const;

    // Sliders: the position is kept inside the range (0..100 until set).
    void SetRange(int id, int low, int high);
    int RangeLow(int id) const;
    int RangeHigh(int id) const;
    void SetPos(int id, int pos);
    int Pos(int id) const;

    // Combos: items in the order added; the selection is -1 or an index.
    void ResetItems(int id);
    void AddItem(int id, std::string text);
    int ItemCount(int id) const;
    const std::string& ItemText(int id, int index) const;  // empty when out of range
    void Select(int id, int index);                        // out of range: -1
    int Selection(int id) const;

    // Edits: the most characters the text may hold (0: no limit).
    void SetLimit(int id, int characters);
    int Limit(int id) const;

    // List views.
    void AddColumn(int id, std::string title, int width);
    const std::vector<ListColumn>& Columns(int id) const;
    void ClearRows(int id);
    void AddRow(int id, std::vector<std::string> cells);
    const std::vector<std::vector<std::string>>& Rows(int id) const;

    // Ends the dialog with the result (the handler calls it).
    void End(int result);
    bool Ended() const { return ended_; }
    int Result() const { return result_; }

private:
    struct Control {
        bool enabled = true;
        std::string text;
        bool checked = false;
        int low = 0;
        int high = 100;
        int pos = 0;
        std::vector<std::string> items;
        int selection = -1;
        int limit = 0;
        std::vector<ListColumn> columns;
        std::vector<std::vector<std::string>> rows;
    };
    Control* Find(int id);
    const Control* Find(int id) const;

    DialogTemplate template_;
    std::vector<Control> controls_;  // parallel to template_.controls
    bool ended_ = false;
    int result_ = 0;
};

// The program's side of a dialog, like a dialog procedure.
class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    // Fills the controls before the dialog is first shown.
    virtual void OnInit(DialogState& dialog) = 0;
    // A control was used (see Notify); may end the dialog.
    virtual void OnCommand(DialogState& dialog, int id, Notify notify) = 0;
};

// What a person does to an open dialog; disabled controls do nothing. The
// ImGui view makes these calls, and tests make them directly.
class DialogInput {
public:
    DialogInput(DialogState& state, DialogHandler& handler) : state_(state), handler_(handler) {}

    // Presses a button, or toggles a check box, then tells the handler.
    void Press(int id);
    void MoveSlider(int id, int pos);
    void Choose(int id, int index);
    // Types UTF-8 text at the end of an edit, one character at a time: a
    // character Shift-JIS cannot hold is refused (the handler hears
    // kRefused), characters past the limit are dropped.
    void Type(int id, std::string_view utf8);
    // Removes the edit's last character (Backspace).
    void EraseLast(int id);
    // Enter presses the default button; Esc presses Cancel (id 2) when the
    // template has one, else nothing.
    void Enter();
    void Escape();

    // For the view: the edit's whole text after a change, already filtered
    // (kept within the limit here); the handler hears kChanged.
    void SetEditText(int id, std::string_view utf8);
    // For the view: a character was refused.
    void Refuse(int id);

private:
    bool Usable(int id, ControlKind kind) const;
    DialogState& state_;
    DialogHandler& handler_;
};

// Whether an edit accepts the character (a Unicode code point): true when
// Shift-JIS (CP932) can hold it.
bool EditAcceptsCharacter(char32_t codepoint);
// The number of characters in Shift-JIS text.
int SjisCharacterCount(std::string_view sjis);

// Shows the dialog modally, centred over the game's last frame, in a nested
// loop until the handler ends it; returns the result. The handler's OnInit
// runs first. With a responder installed the responder acts instead of the
// person. Without a window, or where no nested loop can start (inside an
// overlay drawer), nothing is shown and the result is `fallback`; so is it
// when a responder leaves the dialog open. Game thread.
int RunModalDialog(const DialogTemplate& dialogTemplate, DialogHandler& handler, int fallback);

// Tests: acts on a modal dialog instead of the person (null: the person).
using DialogResponder = std::function<void(DialogState& state, DialogInput& input)>;
void SetDialogResponder(DialogResponder responder);

// Shows the dialog modeless over the game (its OnInit runs now) until it is
// closed; presses over it never reach the game. The handler must outlive it.
// Returns an id for CloseModelessDialog; 0 without a window.
int OpenModelessDialog(const DialogTemplate& dialogTemplate, DialogHandler& handler);
void CloseModelessDialog(int id);
// The state of an open modeless dialog; null when it is not open.
DialogState* ModelessDialogState(int id);

namespace testing {
// The window-pixel rectangle where the control was last drawn, in the dialog
// drawn last with that control id, once that dialog's window stood at its
// place (not in ImGui's first, unseen layout frame); false when it has not
// been drawn.
bool DialogControlRect(int id, int* x, int* y, int* w, int* h);
}  // namespace testing

}  // namespace platform
