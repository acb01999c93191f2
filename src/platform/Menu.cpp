// The menu model: items, their ids, data, greying, radio marks and submenus.
#include "platform/Menu.h"

#include "frame/TextEncoding.h"

namespace platform {

Menu::Menu() = default;
Menu::~Menu() = default;

void Menu::AppendItem(const std::string& text, uint32_t id, bool grayed, uintptr_t data)
{
    Item item;
    item.text = text;
    item.id = id;
    item.grayed = grayed;
    item.data = data;
    items_.push_back(std::move(item));
}

void Menu::AppendSeparator()
{
    Item item;
    item.separator = true;
    items_.push_back(std::move(item));
}

Menu* Menu::AppendSubmenu(const std::string& text)
{
    Item item;
    item.text = text;
    item.submenu = std::make_unique<Menu>();
    Menu* submenu = item.submenu.get();
    items_.push_back(std::move(item));
    return submenu;
}

bool Menu::DeleteItem(uint32_t id)
{
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (!it->separator && !it->submenu && it->id == id) {
            items_.erase(it);
            return true;
        }
    }
    return false;
}

const Menu::Item* Menu::ItemAt(int position) const
{
    if (position < 0 || position >= ItemCount()) {
        return nullptr;
    }
    return &items_[static_cast<size_t>(position)];
}

Menu* Menu::SubmenuAt(int position) const
{
    const Item* item = ItemAt(position);
    return item ? item->submenu.get() : nullptr;
}

bool Menu::EnableItemAt(int position, bool enabled)
{
    if (position < 0 || position >= ItemCount()) {
        return false;
    }
    items_[static_cast<size_t>(position)].grayed = !enabled;
    return true;
}

Menu::Item* Menu::Find(uint32_t id)
{
    for (Item& item : items_) {
        if (item.submenu) {
            if (Item* found = item.submenu->Find(id)) {
                return found;
            }
        } else if (!item.separator && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

const Menu::Item* Menu::FindItem(uint32_t id) const { return const_cast<Menu*>(this)->Find(id); }

bool Menu::EnableItem(uint32_t id, bool enabled)
{
    Item* item = Find(id);
    if (!item) {
        return false;
    }
    item->grayed = !enabled;
    return true;
}

bool Menu::SetItemData(uint32_t id, uintptr_t data)
{
    Item* item = Find(id);
    if (!item) {
        return false;
    }
    item->data = data;
    return true;
}

bool Menu::GetItemData(uint32_t id, uintptr_t* data) const
{
    const Item* item = FindItem(id);
    if (!item) {
        return false;
    }
    *data = item->data;
    return true;
}

bool Menu::SetRadioMark(uint32_t id, bool checked)
{
    Item* item = Find(id);
    if (!item) {
        return false;
    }
    item->radioChecked = checked;
    return true;
}

std::string Menu::DisplayText(const std::string& sjisText, size_t* mnemonic)
{
    // '&' (0x26) is never a Shift-JIS trail byte, so the marks can be read
    // after the conversion.
    const std::string utf8 = SjisToUtf8(sjisText);
    std::string shown;
    shown.reserve(utf8.size());
    size_t mark = std::string::npos;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '&') {
            shown += utf8[i];
            continue;
        }
        if (i + 1 >= utf8.size()) {
            break;   // a lone trailing mark shows nothing
        }
        ++i;
        if (utf8[i] != '&' && mark == std::string::npos) {
            mark = shown.size();
        }
        shown += utf8[i];
    }
    if (mnemonic) {
        *mnemonic = mark;
    }
    return shown;
}

char Menu::MnemonicKey(const std::string& sjisText)
{
    size_t mark = std::string::npos;
    const std::string shown = DisplayText(sjisText, &mark);
    if (mark == std::string::npos) {
        return 0;
    }
    const char c = shown[mark];
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? c : 0;
}

}  // namespace platform
