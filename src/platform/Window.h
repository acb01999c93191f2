#pragma once
// The application's main window: one SDL window whose 800 x 600 client area
// sits below a strip reserved for the menu bar. Everything here runs on the
// game thread (the thread that created the window).
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

struct WindowTag;
using WindowHandle = WindowTag*;   // opaque; null = no window
using WParam = uintptr_t;
using LParam = intptr_t;

// The window procedure: gets every message the pump dispatches to the window
// and returns the message's result.
using WindowProc = std::function<intptr_t(WindowHandle, uint32_t message, WParam, LParam)>;

// Height in pixels of the menu-bar strip above the client area.
constexpr int kMenuBarHeight = 20;

struct MainWindowDesc {
    std::string caption;       // Shift-JIS; converted to UTF-8 for the title bar
    int width = 800;           // client size
    int height = 600;
    bool menuBar = true;       // reserve the menu-bar strip above the client area
};

// Creates the one main window with its renderer and the ImGui layer; null when
// SDL cannot make a window or a renderer (the reason goes to stderr), or when
// a main window already exists. The procedure receives every dispatched message.
WindowHandle CreateMainWindow(const MainWindowDesc& desc, WindowProc proc);
// Destroys the main window, its renderer and the ImGui layer; safe without one.
void DestroyMainWindow();
// The main window, or null before CreateMainWindow and after DestroyMainWindow.
WindowHandle GetMainWindow();
// Client size given at creation (0 x 0 without a window).
int ClientWidth();
int ClientHeight();
// True while the window has the input focus (it starts active when created).
bool IsMainWindowActive();
// Restores a minimised main window and brings it to the front; no-op without one.
void RaiseMainWindow();
// Moves the main window (its frame included) to the middle of the desktop
// it is on: x = (desktop width - window width) / 2, the same for y; keeps
// its size, shows it and brings it to the front. False without a window.
bool CenterMainWindow();
// The main window's frame on the desktop (position of its top-left corner
// and outer size); false and the outputs untouched without a window.
bool GetMainWindowFrame(int* x, int* y, int* width, int* height);
// Shows or hides the system mouse cursor over the client area (the menu strip
// always shows it).
void ShowSystemCursor(bool show);

// Nested loops (message boxes, menus, dialogs) draw the last frame on their
// own. A listener hears true just before the outermost one starts drawing
// and false after it has ended; with no window no loop runs and nobody hears
// anything. Returns an id for RemoveModalLoopListener.
int AddModalLoopListener(std::function<void(bool running)> listener);
void RemoveModalLoopListener(int id);

}  // namespace platform
