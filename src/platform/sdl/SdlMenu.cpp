// Menus on the ImGui layer: the menu bar on the strip above the client area
// and the modal tracking of an open menu (from the bar or as a popup).
//
// Everything is drawn straight into ImGui draw lists and hit-tested here, so
// the menus need no ImGui window state: what the person sees is exactly the
// geometry this file computed in the same turn.
#include <algorithm>
#include <cfloat>
#include <string>
#include <vector>

#include "imgui.h"
#include "platform/EventInjection.h"
#include "platform/Menu.h"
#include "platform/MessagePump.h"
#include "platform/WindowMessages.h"
#include "platform/sdl/MnemonicLabel.h"
#include "platform/sdl/WindowState.h"

namespace platform {

namespace {

// The strip's 20 pixels hold 14-pixel text; menu items use the same height,
// separators a thin band.
constexpr float kItemHeight = 20.0f;
constexpr float kSeparatorHeight = 8.0f;
constexpr float kTitlePadding = 8.0f;   // left and right of a bar title
constexpr float kMarkColumn = 22.0f;    // left of an item: the radio mark
constexpr float kArrowColumn = 26.0f;   // right of an item: the submenu arrow
constexpr float kFramePadding = 3.0f;   // around a menu's items

struct Span {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Contains(ImVec2 p) const { return p.x >= x0 && p.x < x1 && p.y >= y0 && p.y < y1; }
};

struct Bar {
    std::unique_ptr<Menu> menu;
    std::vector<Span> titles;   // per position, from the last drawn turn
    uint32_t changes = 0;
};
Bar gBar;

// One open menu of the tracking.
struct Level {
    Menu* menu = nullptr;
    ImVec2 anchor;              // wanted top-left corner
    float flipX = -1;           // right edge to use when there is no room on the right
    Span frame;
    std::vector<Span> items;    // per position
    int hovered = -1;
    int openChild = -1;         // position of the open submenu entry
};

struct Tracking {
    bool active = false;
    bool fromBar = false;
    bool byKeyboard = false;    // opened by a key: the pointer's place means nothing yet
    int barIndex = -1;
    std::vector<Level> levels;
    bool pressSeen = false;     // a release only chooses after a press of this tracking
    uint32_t motions = 0;       // the pointer's motion count at the last hover
    int turn = 0;
    bool done = false;
    uint32_t chosen = 0;
};
Tracking gTrack;

ImU32 Colour(ImGuiCol index) { return ImGui::GetColorU32(index); }

void SendInitMenuPopup(Menu* menu, int position)
{
    SendMessage(GetMainWindow(), kWmInitMenuPopup, reinterpret_cast<WParam>(menu), position);
}

bool Selectable(const Menu::Item& item) { return !item.separator && !item.grayed; }

void LayoutBar(float width)
{
    gBar.titles.clear();
    if (!gBar.menu) {
        return;
    }
    float x = 0;
    for (int i = 0; i < gBar.menu->ItemCount(); ++i) {
        const float w = sdl::MnemonicLabelWidth(gBar.menu->ItemAt(i)->text) + 2 * kTitlePadding;
        gBar.titles.push_back({x, 0, std::min(x + w, width), static_cast<float>(kMenuBarHeight)});
        x += w;
    }
}

void DrawBar(ImDrawList* list, int highlighted)
{
    const ImGuiIO& io = ImGui::GetIO();
    list->AddRectFilled(ImVec2(0, 0), ImVec2(io.DisplaySize.x, static_cast<float>(kMenuBarHeight)),
                        Colour(ImGuiCol_MenuBarBg));
    if (!gBar.menu) {
        return;
    }
    const float textY = (kMenuBarHeight - ImGui::GetFontSize()) / 2;
    for (int i = 0; i < gBar.menu->ItemCount() && i < static_cast<int>(gBar.titles.size()); ++i) {
        const Menu::Item& item = *gBar.menu->ItemAt(i);
        const Span& s = gBar.titles[i];
        if (i == highlighted && !item.grayed) {
            list->AddRectFilled(ImVec2(s.x0, s.y0), ImVec2(s.x1, s.y1),
                                Colour(gTrack.active ? ImGuiCol_HeaderActive : ImGuiCol_HeaderHovered));
        }
        sdl::DrawMnemonicLabel(list, ImVec2(s.x0 + kTitlePadding, textY), item.text,
                  Colour(item.grayed ? ImGuiCol_TextDisabled : ImGuiCol_Text));
    }
}

int TitleAt(ImVec2 p)
{
    for (int i = 0; i < static_cast<int>(gBar.titles.size()); ++i) {
        if (gBar.titles[i].Contains(p)) {
            return i;
        }
    }
    return -1;
}

// Items in columns: a menu taller than the window continues in a further
// column, so every slot stays reachable on an 600-pixel screen.
void LayoutLevel(Level& level)
{
    const ImGuiIO& io = ImGui::GetIO();
    const Menu& menu = *level.menu;
    float textWidth = 40;
    for (int i = 0; i < menu.ItemCount(); ++i) {
        if (!menu.ItemAt(i)->separator) {
            textWidth = std::max(textWidth, sdl::MnemonicLabelWidth(menu.ItemAt(i)->text));
        }
    }
    const float columnWidth = kMarkColumn + textWidth + kArrowColumn;
    const float maxColumnHeight = std::max(io.DisplaySize.y - 2 * kFramePadding, kItemHeight);
    std::vector<ImVec2> local;   // top-left of each item inside the frame
    float x = kFramePadding, y = kFramePadding, tallest = 0;
    for (int i = 0; i < menu.ItemCount(); ++i) {
        const float h = menu.ItemAt(i)->separator ? kSeparatorHeight : kItemHeight;
        if (y + h > maxColumnHeight + kFramePadding && y > kFramePadding) {
            x += columnWidth;
            y = kFramePadding;
        }
        local.emplace_back(x, y);
        y += h;
        tallest = std::max(tallest, y);
    }
    const float w = (menu.ItemCount() == 0 ? columnWidth : x + columnWidth) + kFramePadding;
    const float h = std::max(tallest, kFramePadding + kItemHeight / 2) + kFramePadding;
    float left = level.anchor.x;
    if (left + w > io.DisplaySize.x) {
        left = level.flipX >= 0 ? level.flipX - w : io.DisplaySize.x - w;
    }
    float top = level.anchor.y;
    if (top + h > io.DisplaySize.y) {
        top = io.DisplaySize.y - h;
    }
    left = std::max(left, 0.0f);
    top = std::max(top, 0.0f);
    level.frame = {left, top, left + w, top + h};
    level.items.clear();
    for (int i = 0; i < menu.ItemCount(); ++i) {
        const float ih = menu.ItemAt(i)->separator ? kSeparatorHeight : kItemHeight;
        level.items.push_back({left + local[i].x, top + local[i].y, left + local[i].x + columnWidth,
                               top + local[i].y + ih});
    }
}

void DrawLevel(ImDrawList* list, const Level& level)
{
    const Span& f = level.frame;
    list->AddRectFilled(ImVec2(f.x0, f.y0), ImVec2(f.x1, f.y1), Colour(ImGuiCol_PopupBg));
    list->AddRect(ImVec2(f.x0, f.y0), ImVec2(f.x1, f.y1), Colour(ImGuiCol_Border));
    const float textOffset = (kItemHeight - ImGui::GetFontSize()) / 2;
    for (int i = 0; i < level.menu->ItemCount(); ++i) {
        const Menu::Item& item = *level.menu->ItemAt(i);
        const Span& s = level.items[static_cast<size_t>(i)];
        if (item.separator) {
            const float y = (s.y0 + s.y1) / 2;
            list->AddLine(ImVec2(s.x0 + 2, y), ImVec2(s.x1 - 2, y), Colour(ImGuiCol_Separator));
            continue;
        }
        if (i == level.hovered || i == level.openChild) {
            list->AddRectFilled(ImVec2(s.x0, s.y0), ImVec2(s.x1, s.y1), Colour(ImGuiCol_HeaderHovered));
        }
        const ImU32 colour = Colour(item.grayed ? ImGuiCol_TextDisabled : ImGuiCol_Text);
        if (item.radioChecked) {
            list->AddCircleFilled(ImVec2(s.x0 + kMarkColumn / 2, (s.y0 + s.y1) / 2), 3.5f, colour);
        }
        sdl::DrawMnemonicLabel(list, ImVec2(s.x0 + kMarkColumn, s.y0 + textOffset), item.text, colour);
        if (item.submenu) {
            const float cx = s.x1 - kArrowColumn / 2, cy = (s.y0 + s.y1) / 2;
            list->AddTriangleFilled(ImVec2(cx - 3, cy - 4), ImVec2(cx - 3, cy + 4), ImVec2(cx + 2, cy), colour);
        }
    }
}

void OpenLevel(Menu* menu, int position, ImVec2 anchor, float flipX)
{
    SendInitMenuPopup(menu, position);
    Level level;
    level.menu = menu;
    level.anchor = anchor;
    level.flipX = flipX;
    gTrack.levels.push_back(std::move(level));
    ++gBar.changes;
}

void OpenBarMenu(int index)
{
    gTrack.levels.clear();
    gTrack.barIndex = index;
    ++gBar.changes;
    const Menu::Item* title = gBar.menu ? gBar.menu->ItemAt(index) : nullptr;
    if (!title || !title->submenu || title->grayed || index >= static_cast<int>(gBar.titles.size())) {
        return;
    }
    const Span& s = gBar.titles[static_cast<size_t>(index)];
    OpenLevel(title->submenu.get(), index, ImVec2(s.x0, s.y1), -1);
}

// Closes the menus deeper than `level` and opens the submenu of its item,
// if the item has an enabled one, to the right of the item.
void OpenSubmenu(int level, int item)
{
    gTrack.levels.resize(static_cast<size_t>(level) + 1);
    Level& parent = gTrack.levels.back();
    parent.openChild = -1;
    ++gBar.changes;
    const Menu::Item& entry = *parent.menu->ItemAt(item);
    if (entry.submenu && !entry.grayed) {
        parent.openChild = item;
        LayoutLevel(parent);
        const Span& s = parent.items[static_cast<size_t>(item)];
        OpenLevel(entry.submenu.get(), item, ImVec2(s.x1 - 2, s.y0 - kFramePadding), s.x0 + 2);
    }
}

// Where the pointer is: the deepest open menu and item under it.
struct Hit {
    int level = -1;
    int item = -1;
    int title = -1;
};

Hit HitTest(ImVec2 p)
{
    Hit hit;
    for (int l = static_cast<int>(gTrack.levels.size()) - 1; l >= 0; --l) {
        const Level& level = gTrack.levels[static_cast<size_t>(l)];
        if (!level.frame.Contains(p)) {
            continue;
        }
        hit.level = l;
        for (int i = 0; i < static_cast<int>(level.items.size()); ++i) {
            if (level.items[static_cast<size_t>(i)].Contains(p)) {
                hit.item = i;
            }
        }
        return hit;
    }
    if (gTrack.fromBar) {
        hit.title = TitleAt(p);
    }
    return hit;
}

void Hover(const Hit& hit)
{
    for (size_t l = 0; l < gTrack.levels.size(); ++l) {
        Level& level = gTrack.levels[l];
        const int was = level.hovered;
        // Keep the highlight on the path to the deepest open menu.
        if (static_cast<int>(l) == hit.level) {
            level.hovered = hit.item;
        } else if (static_cast<int>(l) > hit.level) {
            level.hovered = -1;
        }
        if (level.hovered != was) {
            ++gBar.changes;
        }
    }
    if (hit.title >= 0 && hit.title != gTrack.barIndex) {
        OpenBarMenu(hit.title);
        return;
    }
    if (hit.level < 0 || hit.item < 0) {
        return;
    }
    if (gTrack.levels[static_cast<size_t>(hit.level)].openChild == hit.item) {
        return;
    }
    OpenSubmenu(hit.level, hit.item);
}

void Choose(const Menu::Item& item)
{
    gTrack.chosen = item.id;
    gTrack.done = true;
}

// The next of `count` places from `from` (-1: from before the first, or
// after the last going up) in the direction (+1 or -1), round the end, that
// `fits`; -1 when none does.
template <typename Fits>
int NextFitting(int count, int from, int direction, Fits fits)
{
    int at = from;
    for (int step = 0; step < count; ++step) {
        at = at < 0 ? (direction > 0 ? 0 : count - 1) : (at + direction + count) % count;
        if (fits(at)) {
            return at;
        }
    }
    return -1;
}

// The next item from `from` in the direction (+1 down, -1 up), round the
// end; separators are passed over, grey items are not (they can be seen
// highlighted, never chosen). -1 when the menu has no item.
int NextItem(const Level& level, int from, int direction)
{
    return NextFitting(level.menu->ItemCount(), from, direction,
                       [&](int at) { return !level.menu->ItemAt(at)->separator; });
}

void Highlight(Level& level, int item)
{
    if (level.hovered != item) {
        level.hovered = item;
        ++gBar.changes;
    }
}

// Opens the submenu of the deepest menu's item with its first item
// highlighted, as a key opens it.
void OpenSubmenuByKey(int item)
{
    const int level = static_cast<int>(gTrack.levels.size()) - 1;
    OpenSubmenu(level, item);
    if (static_cast<int>(gTrack.levels.size()) > level + 1) {
        Level& child = gTrack.levels.back();
        Highlight(child, NextItem(child, -1, 1));
    }
}

// Opens the bar's menu at `index` with its first item highlighted.
void OpenBarMenuByKey(int index)
{
    OpenBarMenu(index);
    if (!gTrack.levels.empty()) {
        Level& menu = gTrack.levels.front();
        Highlight(menu, NextItem(menu, -1, 1));
    }
}

// Whether the bar's title at `index` opens a menu (it has an enabled one and
// was laid out on the strip).
bool TitleOpensMenu(int index)
{
    const Menu::Item& title = *gBar.menu->ItemAt(index);
    return title.submenu && !title.grayed && index < static_cast<int>(gBar.titles.size());
}

// The bar's next title from `from` in the direction, round the end, that
// opens a menu; -1 when none does.
int NextBarMenu(int from, int direction)
{
    return NextFitting(gBar.menu ? gBar.menu->ItemCount() : 0, from, direction, TitleOpensMenu);
}

// Left and Right beyond the menus: the bar's neighbouring menu.
void SwitchBarMenu(int direction)
{
    if (!gTrack.fromBar) {
        return;
    }
    if (const int next = NextBarMenu(gTrack.barIndex, direction); next >= 0 && next != gTrack.barIndex) {
        OpenBarMenuByKey(next);
    }
}

void CloseDeepest()
{
    gTrack.levels.pop_back();
    gTrack.levels.back().openChild = -1;
    ++gBar.changes;
}

// Enter on an item, or its letter: a submenu opens, a command is chosen,
// a grey item stays highlighted.
void Activate(int item)
{
    const Menu::Item& entry = *gTrack.levels.back().menu->ItemAt(item);
    if (!Selectable(entry)) {
        return;
    }
    if (entry.submenu) {
        OpenSubmenuByKey(item);
    } else {
        Choose(entry);
    }
}

// An underlined letter in the deepest menu: the one item with it is
// activated; several take the highlight in turn.
void Mnemonic(char letter)
{
    Level& level = gTrack.levels.back();
    std::vector<int> matching;
    for (int i = 0; i < level.menu->ItemCount(); ++i) {
        const Menu::Item& item = *level.menu->ItemAt(i);
        if (!item.separator && Menu::MnemonicKey(item.text) == letter) {
            matching.push_back(i);
        }
    }
    if (matching.size() == 1) {
        Highlight(level, matching[0]);
        Activate(matching[0]);
    } else if (!matching.empty()) {
        const auto next = std::upper_bound(matching.begin(), matching.end(), level.hovered);
        Highlight(level, next == matching.end() ? matching.front() : *next);
    }
}

void PressKey(const sdl::KeyStroke& key)
{
    if (gTrack.levels.empty()) {
        if (key.scancode == static_cast<int>(platform::Key::Escape)) {
            gTrack.done = true;
        }
        return;
    }
    Level& deepest = gTrack.levels.back();
    const bool nested = gTrack.levels.size() > 1;
    switch (static_cast<platform::Key>(key.scancode)) {
    case platform::Key::Up: Highlight(deepest, NextItem(deepest, deepest.hovered, -1)); return;
    case platform::Key::Down: Highlight(deepest, NextItem(deepest, deepest.hovered, 1)); return;
    case platform::Key::Right: {
        const Menu::Item* item = deepest.hovered >= 0 ? deepest.menu->ItemAt(deepest.hovered) : nullptr;
        if (item && item->submenu && !item->grayed) {
            OpenSubmenuByKey(deepest.hovered);
        } else {
            SwitchBarMenu(1);
        }
        return;
    }
    case platform::Key::Left:
        if (nested) {
            CloseDeepest();
        } else {
            SwitchBarMenu(-1);
        }
        return;
    case platform::Key::Escape:
        if (nested) {
            CloseDeepest();
        } else {
            gTrack.done = true;
        }
        return;
    case platform::Key::Return:
    case platform::Key::KeypadEnter:
        if (!key.repeat && deepest.hovered >= 0) {
            Activate(deepest.hovered);
        }
        return;
    default:
        if (key.letter != 0 && !key.repeat) {
            Mnemonic(key.letter);
        }
        return;
    }
}

// One turn of the tracking loop: input first, then the picture.
bool TrackTurn()
{
    for (Level& level : gTrack.levels) {
        LayoutLevel(level);
    }
    const ImGuiIO& io = ImGui::GetIO();
    const Hit hit = HitTest(io.MousePos);
    // Only a moving pointer opens and closes submenus: one resting on a
    // submenu entry must not open again what Esc has just closed.
    const uint32_t motions = sdl::PointerMotionCount();
    const bool firstTurn = gTrack.turn == 0 && !gTrack.byKeyboard;
    if (ImGui::IsMousePosValid(&io.MousePos) && (firstTurn || motions != gTrack.motions)) {
        Hover(hit);
    }
    gTrack.motions = motions;
    for (Level& level : gTrack.levels) {
        LayoutLevel(level);   // a menu opened by the hover
    }
    const bool pressed = ImGui::IsMouseClicked(ImGuiMouseButton_Left) || ImGui::IsMouseClicked(ImGuiMouseButton_Right);
    const bool released =
        ImGui::IsMouseReleased(ImGuiMouseButton_Left) || ImGui::IsMouseReleased(ImGuiMouseButton_Right);
    const Hit now = HitTest(io.MousePos);
    // The press that opened a bar menu is still in ImGui's first turn: it is
    // not a second press on the title.
    if (pressed && gTrack.turn > 0) {
        gTrack.pressSeen = true;
        if (now.level < 0 && (now.title < 0 || now.title == gTrack.barIndex)) {
            gTrack.done = true;   // outside every menu, or the open title again: close
        }
    }
    if (!gTrack.done && released && gTrack.pressSeen && now.level >= 0 && now.item >= 0) {
        const Menu::Item& item = *gTrack.levels[static_cast<size_t>(now.level)].menu->ItemAt(now.item);
        if (Selectable(item) && !item.submenu) {
            Choose(item);
        }
    }
    for (const sdl::KeyStroke& key : sdl::FrameKeyStrokes()) {
        if (gTrack.done) {
            break;
        }
        PressKey(key);
    }
    ++gTrack.turn;
    ImDrawList* list = ImGui::GetForegroundDrawList();
    if (gBar.menu) {
        LayoutBar(io.DisplaySize.x);
        DrawBar(list, gTrack.fromBar ? gTrack.barIndex : -1);
    }
    for (Level& level : gTrack.levels) {
        LayoutLevel(level);   // a menu the keys opened
        DrawLevel(list, level);
    }
    return !gTrack.done;
}

// Runs the modal tracking that gTrack was set up for; returns the chosen id or 0.
uint32_t RunTracking()
{
    gTrack.active = true;
    gTrack.turn = 0;
    gTrack.done = false;
    gTrack.chosen = 0;
    ++gBar.changes;
    const bool ran = sdl::RunModalLoop(TrackTurn);
    const uint32_t chosen = ran ? gTrack.chosen : 0;
    gTrack = Tracking{};
    ++gBar.changes;
    return chosen;
}

}  // namespace

}  // namespace platform

namespace platform::sdl {

void DrawMenuBarOverlay()
{
    if (!gBar.menu || gTrack.active) {
        return;   // the tracking turn draws the bar with its open title
    }
    const ImGuiIO& io = ImGui::GetIO();
    LayoutBar(io.DisplaySize.x);
    // A box or dialog in front leaves the bar inert: no hover highlight.
    const bool onStrip = ImGui::IsMousePosValid(&io.MousePos) && io.MousePos.y >= 0 &&
                         io.MousePos.y < kMenuBarHeight && !sdl::InModalLoop();
    DrawBar(ImGui::GetBackgroundDrawList(), onStrip ? TitleAt(io.MousePos) : -1);
}

}  // namespace platform::sdl

namespace platform {

namespace {

ImVec2 ClientToWindow(int x, int y)
{
    const sdl::WindowState& state = sdl::MainWindowState();
    const sdl::Viewport& v = state.viewport;
    if (v.w <= 0 || v.h <= 0 || state.clientWidth <= 0 || state.clientHeight <= 0) {
        return ImVec2(static_cast<float>(x), static_cast<float>(y + state.stripHeight));
    }
    return ImVec2(static_cast<float>(v.x + static_cast<int64_t>(x) * v.w / state.clientWidth),
                  static_cast<float>(v.y + static_cast<int64_t>(y) * v.h / state.clientHeight));
}

}  // namespace

void SetWindowMenu(std::unique_ptr<Menu> menu)
{
    gBar.menu = std::move(menu);
    gBar.titles.clear();
    ++gBar.changes;
}

Menu* GetWindowMenu() { return gBar.menu.get(); }
void DrawMenuBar() { ++gBar.changes; }
bool IsMenuBarHot() { return gTrack.active || (gBar.menu && sdl::PointerOnMenuStrip()); }
uint32_t MenuBarChangeCount() { return gBar.changes; }
bool IsMenuTracking() { return gTrack.active; }

uint32_t TrackPopupMenu(Menu* menu, int clientX, int clientY, MenuResult result)
{
    if (!menu || gTrack.active || !sdl::MainWindowState().window) {
        return 0;
    }
    gTrack = Tracking{};
    gTrack.fromBar = false;
    OpenLevel(menu, 0, ClientToWindow(clientX, clientY), -1);
    const uint32_t chosen = RunTracking();
    if (chosen != 0 && result == MenuResult::kPostCommand) {
        PostMessage(GetMainWindow(), kWmCommand, chosen & 0xFFFF, 0);
        return 0;
    }
    return chosen;
}

}  // namespace platform

namespace platform::sdl {

bool PressOnMenuStrip(int windowX, int windowY)
{
    if (!gBar.menu || gTrack.active) {
        return false;
    }
    const int index = TitleAt(ImVec2(static_cast<float>(windowX), static_cast<float>(windowY)));
    if (index < 0 || gBar.menu->ItemAt(index)->grayed) {
        return false;
    }
    gTrack = Tracking{};
    gTrack.fromBar = true;
    gTrack.pressSeen = true;   // releasing on an item after dragging down chooses it
    OpenBarMenu(index);
    const uint32_t chosen = RunTracking();
    if (chosen != 0) {
        PostMessage(GetMainWindow(), kWmCommand, chosen & 0xFFFF, 0);
    }
    return true;
}

bool KeyOpensMenuBar(const SDL_KeyboardEvent& key)
{
    if (!gBar.menu || gTrack.active || InModalLoop()) {
        return false;
    }
    const KeyStroke stroke = StrokeOf(key);
    int index = -1;
    if (stroke.scancode == SDL_SCANCODE_F10 && !stroke.alt && !stroke.shift) {
        index = NextBarMenu(-1, 1);
    } else if (stroke.alt && stroke.letter != 0) {
        for (int i = 0; i < gBar.menu->ItemCount() && index < 0; ++i) {
            if (Menu::MnemonicKey(gBar.menu->ItemAt(i)->text) == stroke.letter) {
                index = i;
            }
        }
        // A grey title's letter does nothing, as a press on it does.
        if (index >= 0 && !TitleOpensMenu(index)) {
            index = -1;
        }
    }
    if (index < 0) {
        return false;
    }
    gTrack = Tracking{};
    gTrack.fromBar = true;
    gTrack.byKeyboard = true;
    // The highlight is the keys' until the pointer moves.
    gTrack.motions = PointerMotionCount();
    OpenBarMenuByKey(index);
    const uint32_t chosen = RunTracking();
    if (chosen != 0) {
        PostMessage(GetMainWindow(), kWmCommand, chosen & 0xFFFF, 0);
    }
    return true;
}

}  // namespace platform::sdl

namespace platform::testing {

namespace {
bool Centre(const Span& s, int* x, int* y)
{
    *x = static_cast<int>((s.x0 + s.x1) / 2);
    *y = static_cast<int>((s.y0 + s.y1) / 2);
    return true;
}
}  // namespace

bool MenuBarTitleCentre(int position, int* x, int* y)
{
    if (position < 0 || position >= static_cast<int>(gBar.titles.size())) {
        return false;
    }
    return Centre(gBar.titles[static_cast<size_t>(position)], x, y);
}

bool OpenMenuItemCentre(int level, int position, int* x, int* y)
{
    if (!gTrack.active || level < 0 || level >= static_cast<int>(gTrack.levels.size())) {
        return false;
    }
    const Level& open = gTrack.levels[static_cast<size_t>(level)];
    if (position < 0 || position >= static_cast<int>(open.items.size())) {
        return false;
    }
    return Centre(open.items[static_cast<size_t>(position)], x, y);
}

}  // namespace platform::testing
