#pragma once
// Menus: the window's menu bar and popup menus, drawn by the ImGui layer.
//
// A Menu is a plain model (items with command ids, item data, greying, radio
// marks, separators and submenus) that the program builds and changes at any
// time; a menu is a "handle" by its address, and kWmInitMenuPopup carries that
// address in wParam. Opening a menu (a press on a menu-bar title, or
// TrackPopupMenu) sends kWmInitMenuPopup for it first, so the program can fill
// it, then tracks it modally in a nested loop: no game frame runs meanwhile,
// and no press or key used by the menu reaches the input state. Submenus get
// their own kWmInitMenuPopup when they open. Texts are Shift-JIS; "&x" marks
// the mnemonic x (drawn underlined), "&&" is a literal "&".
//
// The keyboard does what it did on Windows: Alt and a title's underlined
// letter opens that menu of the bar, F10 the first; Up and Down move the
// highlight, Right opens a submenu (or the next menu of the bar), Left
// closes it (or opens the previous one), Enter chooses, Esc closes, and an
// item's underlined letter chooses it (or opens its submenu).
// Game thread only.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Window.h"

namespace platform {

class Menu {
public:
    struct Item {
        std::string text;               // Shift-JIS as given
        uint32_t id = 0;                // command id (0 for separators and submenus)
        uintptr_t data = 0;             // the program's own value
        bool separator = false;
        bool grayed = false;
        bool radioChecked = false;
        std::unique_ptr<Menu> submenu;  // set for a submenu entry
    };

    Menu();
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // Appends a command item.
    void AppendItem(const std::string& text, uint32_t id, bool grayed = false, uintptr_t data = 0);
    void AppendSeparator();
    // Appends a submenu entry and returns the new (empty) submenu; this menu owns it.
    Menu* AppendSubmenu(const std::string& text);

    // Removes the first item of this menu (not its submenus) with the id;
    // false when there is none.
    bool DeleteItem(uint32_t id);

    int ItemCount() const { return static_cast<int>(items_.size()); }
    // The item at a position; null when out of range.
    const Item* ItemAt(int position) const;
    // The submenu at a position; null when out of range or not a submenu.
    Menu* SubmenuAt(int position) const;

    // By position in this menu: false when out of range.
    bool EnableItemAt(int position, bool enabled);
    // By command id, searching this menu and its submenus depth first: false
    // when no item has the id.
    bool EnableItem(uint32_t id, bool enabled);
    bool SetItemData(uint32_t id, uintptr_t data);
    // Writes *data only when an item has the id.
    bool GetItemData(uint32_t id, uintptr_t* data) const;
    bool SetRadioMark(uint32_t id, bool checked);
    // The item with the id in this menu or its submenus; null when none.
    const Item* FindItem(uint32_t id) const;

    // Shown text of an item: UTF-8 without the mnemonic marks; *mnemonic
    // receives the byte offset of the mnemonic character (npos when none).
    static std::string DisplayText(const std::string& sjisText, size_t* mnemonic);
    // The key that chooses an item: its mnemonic as a lower-case ASCII letter
    // or digit; 0 when the text has none (or marks another character).
    static char MnemonicKey(const std::string& sjisText);

private:
    Item* Find(uint32_t id);
    std::vector<Item> items_;
};

// The window's menu bar, drawn on the strip above the client area. The layer
// owns it from here on; null removes it. Without a main window it is kept and
// drawn once the window exists.
void SetWindowMenu(std::unique_ptr<Menu> menu);
// The window's menu bar; null when none.
Menu* GetWindowMenu();
// Tells the layer the menu bar changed (greying, texts) so it is drawn anew.
void DrawMenuBar();
// For a frame loop that presents only on change. True while the pointer is
// over the strip (as the event stream last placed it; the hovered title
// follows it, so present every frame meanwhile) or a menu is tracked.
bool IsMenuBarHot();
// Counts the changes of what the menu bar shows apart from the hover
// (SetWindowMenu, DrawMenuBar, a menu opening or closing); a reading that
// differs from the last one means the overlay must be drawn again.
uint32_t MenuBarChangeCount();

// How TrackPopupMenu reports the choice.
enum class MenuResult {
    kPostCommand,     // post kWmCommand (low word = id) to the window; returns 0
    kReturnCommand,   // return the chosen id; post nothing
};

// Opens `menu` with its top-left corner at the client point (x, y) (moved to
// stay inside the window), sends kWmInitMenuPopup (wParam = menu) first and
// tracks it until the person chooses an item or cancels (Esc, a press outside
// it). Returns the chosen id with kReturnCommand, else 0; 0 on cancel, with a
// null menu, without a main window, or when called inside an overlay drawer.
uint32_t TrackPopupMenu(Menu* menu, int clientX, int clientY, MenuResult result);

// True while a menu (bar or popup) is being tracked.
bool IsMenuTracking();

}  // namespace platform
