// The controls' state of a dialog and the person's actions on it; no ImGui
// here, so tests and the view share every rule.
#include <algorithm>
#include <utility>

#include "platform/Dialog.h"
#include "frame/TextEncoding.h"

namespace platform {

namespace {

const std::string kEmpty;
const std::vector<ListColumn> kNoColumns;
const std::vector<std::vector<std::string>> kNoRows;

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte,
// which the strict conversion then refuses).
size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF7)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

std::string EncodeUtf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The Shift-JIS text cut to its first `limit` characters (0: no limit).
std::string CutToLimit(std::string sjis, int limit)
{
    if (limit <= 0)
        return sjis;
    size_t pos = 0;
    for (int n = 0; n < limit && pos < sjis.size(); ++n)
        pos += SjisCharLength(sjis, pos);
    sjis.resize(pos);
    return sjis;
}

}  // namespace

bool EditAcceptsCharacter(char32_t codepoint)
{
    if (codepoint < 0x20 || codepoint == 0x7F || codepoint > 0x10FFFF)
        return false;
    std::string sjis;
    return Utf8ToSjisStrict(EncodeUtf8(codepoint), &sjis) && !sjis.empty();
}

int SjisCharacterCount(std::string_view sjis)
{
    int count = 0;
    for (size_t pos = 0; pos < sjis.size(); pos += SjisCharLength(sjis, pos))
        ++count;
    return count;
}

DialogState::DialogState(DialogTemplate dialogTemplate)
    : template_(std::move(dialogTemplate)), controls_(template_.controls.size())
{
    for (size_t i = 0; i < controls_.size(); ++i)
        controls_[i].text = template_.controls[i].text;
}

DialogState::Control* DialogState::Find(int id)
{
    return const_cast<Control*>(std::as_const(*this).Find(id));
}

const DialogState::Control* DialogState::Find(int id) const
{
    if (id < 0)
        return nullptr;
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (template_.controls[i].id == id)
            return &controls_[i];
    }
    return nullptr;
}

bool DialogState::Has(int id) const { return Find(id) != nullptr; }

void DialogState::Enable(int id, bool enabled)
{
    if (Control* c = Find(id))
        c->enabled = enabled;
}

bool DialogState::IsEnabled(int id) const
{
    const Control* c = Find(id);
    return c && c->enabled;
}

void DialogState::SetText(int id, std::string text)
{
    if (Control* c = Find(id))
        c->text = CutToLimit(std::move(text), c->limit);
}

const std::string& DialogState::Text(int id) const
{
    const Control* c = Find(id);
    return c ? c->text : kEmpty;
}

void DialogState::SetChecked(int id, bool checked)
{
    if (Control* c = Find(id))
        c->checked = checked;
}

bool DialogState::IsChecked(int id) const
{
    const Control* c = Find(id);
    return c && c->checked;
}

void DialogState::SetRange(int id, int low, int high)
{
    if (Control* c = Find(id)) {
        c->low = std::min(low, high);
        c->high = std::max(low, high);
        c->pos = std::clamp(c->pos, c->low, c->high);
    }
}

int DialogState::RangeLow(int id) const
{
    const Control* c = Find(id);
    return c ? c->low : 0;
}

int DialogState::RangeHigh(int id) const
{
    const Control* c = Find(id);
    return c ? c->high : 0;
}

void DialogState::SetPos(int id, int pos)
{
    if (Control* c = Find(id))
        c->pos = std::clamp(pos, c->low, c->high);
}

int DialogState::Pos(int id) const
{
    const Control* c = Find(id);
    return c ? c->pos : 0;
}

void DialogState::ResetItems(int id)
{
    if (Control* c = Find(id)) {
        c->items.clear();
        c->selection = -1;
    }
}

void DialogState::AddItem(int id, std::string text)
{
    if (Control* c = Find(id))
        c->items.push_back(std::move(text));
}

int DialogState::ItemCount(int id) const
{
    const Control* c = Find(id);
    return c ? static_cast<int>(c->items.size()) : 0;
}

const std::string& DialogState::ItemText(int id, int index) const
{
    const Control* c = Find(id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size()))
        return kEmpty;
    return c->items[static_cast<size_t>(index)];
}

void DialogState::Select(int id, int index)
{
    if (Control* c = Find(id))
        c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
}

int DialogState::Selection(int id) const
{
    const Control* c = Find(id);
    return c ? c->selection : -1;
}

void DialogState::SetLimit(int id, int characters)
{
    if (Control* c = Find(id)) {
        c->limit = std::max(characters, 0);
        c->text = CutToLimit(std::move(c->text), c->limit);
    }
}

int DialogState::Limit(int id) const
{
    const Control* c = Find(id);
    return c ? c->limit : 0;
}

void DialogState::AddColumn(int id, std::string title, int width)
{
    if (Control* c = Find(id))
        c->columns.push_back({std::move(title), width});
}

const std::vector<ListColumn>& DialogState::Columns(int id) const
{
    const Control* c = Find(id);
    return c ? c->columns : kNoColumns;
}

void DialogState::ClearRows(int id)
{
    if (Control* c = Find(id))
        c->rows.clear();
}

void DialogState::AddRow(int id, std::vector<std::string> cells)
{
    if (Control* c = Find(id))
        c->rows.push_back(std::move(cells));
}

const std::vector<std::vector<std::string>>& DialogState::Rows(int id) const
{
    const Control* c = Find(id);
    return c ? c->rows : kNoRows;
}

void DialogState::End(int result)
{
    ended_ = true;
    result_ = result;
}

bool DialogInput::Usable(int id, ControlKind kind) const
{
    if (!state_.IsEnabled(id))
        return false;
    for (const DialogControl& c : state_.Template().controls) {
        if (c.id == id)
            return c.kind == kind || (kind == ControlKind::kButton && c.kind == ControlKind::kDefaultButton);
    }
    return false;
}

void DialogInput::Press(int id)
{
    if (Usable(id, ControlKind::kCheckBox)) {
        state_.SetChecked(id, !state_.IsChecked(id));
    } else if (!Usable(id, ControlKind::kButton)) {
        return;
    }
    handler_.OnCommand(state_, id, Notify::kClicked);
}

void DialogInput::MoveSlider(int id, int pos)
{
    if (!Usable(id, ControlKind::kSlider))
        return;
    state_.SetPos(id, pos);
    handler_.OnCommand(state_, id, Notify::kChanged);
}

void DialogInput::Choose(int id, int index)
{
    if (!Usable(id, ControlKind::kCombo))
        return;
    state_.Select(id, index);
    handler_.OnCommand(state_, id, Notify::kChanged);
}

void DialogInput::Type(int id, std::string_view utf8)
{
    if (!Usable(id, ControlKind::kEdit))
        return;
    for (size_t pos = 0; pos < utf8.size();) {
        const size_t length = std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        const std::string_view one = utf8.substr(pos, length);
        pos += length;
        std::string sjis;
        if (!Utf8ToSjisStrict(one, &sjis) || sjis.empty() || static_cast<unsigned char>(sjis[0]) < 0x20 ||
            sjis[0] == 0x7F) {
            Refuse(id);
            continue;
        }
        const int limit = state_.Limit(id);
        if (limit > 0 && SjisCharacterCount(state_.Text(id)) >= limit)
            continue;
        state_.SetText(id, state_.Text(id) + sjis);
        handler_.OnCommand(state_, id, Notify::kChanged);
    }
}

void DialogInput::EraseLast(int id)
{
    if (!Usable(id, ControlKind::kEdit))
        return;
    std::string text = state_.Text(id);
    if (text.empty())
        return;
    size_t last = 0;
    for (size_t pos = 0; pos < text.size(); pos += SjisCharLength(text, pos))
        last = pos;
    text.resize(last);
    state_.SetText(id, std::move(text));
    handler_.OnCommand(state_, id, Notify::kChanged);
}

void DialogInput::SetEditText(int id, std::string_view utf8)
{
    if (!Usable(id, ControlKind::kEdit))
        return;
    std::string sjis;
    if (!Utf8ToSjisStrict(utf8, &sjis)) {
        // The view filters what is typed, so this is a paste it let through:
        // the text stays as it was.
        Refuse(id);
        return;
    }
    state_.SetText(id, std::move(sjis));
    handler_.OnCommand(state_, id, Notify::kChanged);
}

void DialogInput::Refuse(int id)
{
    if (Usable(id, ControlKind::kEdit))
        handler_.OnCommand(state_, id, Notify::kRefused);
}

void DialogInput::Enter()
{
    for (const DialogControl& c : state_.Template().controls) {
        if (c.kind == ControlKind::kDefaultButton) {
            Press(c.id);
            return;
        }
    }
}

void DialogInput::Escape()
{
    Press(kIdCancel);
}

}  // namespace platform
