#pragma once
// The game's menus: the menu bar "IDR_MENU" of the main window and the
// right-click popup menu, their command ids, and the small helpers that
// switch menu entries. Texts are the game's own (Shift-JIS in the program).
#include <cstdint>
#include <memory>

#include "platform/Menu.h"

// Command ids of the fixed menu items (the slot items are in SaveSlots.h).
constexpr uint32_t kCmdQuit = 40001;
constexpr uint32_t kCmdWindowed = 40002;
constexpr uint32_t kCmdFullScreen16 = 40003;
constexpr uint32_t kCmdFullScreen24 = 40004;
constexpr uint32_t kCmdFullScreen32 = 40008;
constexpr uint32_t kCmdVersion = 40009;
constexpr uint32_t kCmdAutoAdvance = 40028;
constexpr uint32_t kCmdSkipToChoice = 40029;
constexpr uint32_t kCmdReturnToTitle = 40030;
constexpr uint32_t kCmdWebsite = 40031;
constexpr uint32_t kCmdHideWindow = 40032;
constexpr uint32_t kCmdBacklog = 40033;
constexpr uint32_t kCmdOptions = 65535;

// Positions in the popup menu of the save and load submenus, and in the
// menu bar of the settings menu.
constexpr int kPopupSavePosition = 2;
constexpr int kPopupLoadPosition = 3;
constexpr int kMenuBarSettingsPosition = 1;

// The menu bar: File (title, web site, version, quit) and Settings
// (options, screen mode: window or full screen at 16, 24 or 32 bits).
std::unique_ptr<platform::Menu> BuildMenuBar();
// The popup: hide window, save and load submenus (each with its fixed
// "latest choice" item), auto-advance, skip to the next choice, backlog.
std::unique_ptr<platform::Menu> BuildPopupMenu();

// Enables (on) or greys (off) the settings menu of the window's menu bar and
// redraws the bar; nothing without a menu bar.
void UpdateWindowMenu(bool on);
// Puts the radio mark on the screen-mode item of mode (0 window, 16, 24,
// 32) and takes it off the others; no item is marked for any other value.
void CheckScreenModeItem(int mode);
// Moves the window to the middle of the desktop, keeping its size, and
// brings it to the front. 0.
int CenterWindow(platform::WindowHandle window);
