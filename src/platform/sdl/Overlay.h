#pragma once
// Inside the platform layer only: how the window's picture is put together.
// The display's presenter draws the client area into MainRenderer(), then
// calls DrawOverlay() (the ImGui layer: menu bar, dialogs, message boxes) and
// only then SDL_RenderPresent. Nested loops (message boxes, dialogs) keep the
// last frame on screen through the redraw hook the presenter registers.
#include <cstdint>
#include <functional>
#include <vector>

namespace platform::sdl {

// Where the client area appears in window pixels; the pump maps pointer
// positions back through it. Default: below the menu strip, unscaled.
struct Viewport {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};
void SetClientViewport(const Viewport& viewport);
Viewport ClientViewport();

// A rectangle of window pixels.
struct WindowRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// The presenter's way to make the window hold its last frame alone again,
// without the overlay (no present): nested loops and exposes call it before
// they draw the overlay anew. Null when the presenter goes away; what it
// draws from must outlive the hook.
void SetLastFrameRedraw(std::function<void()> redraw);
// The presenter's way to keep what lies under the overlay: called with the
// places of the window the overlay is about to draw on, after what goes under
// it is drawn and before the overlay draws. Null (the default) when the
// presenter draws the whole window each time anyway.
void SetOverlayUnderKeeper(std::function<void(const std::vector<WindowRect>& places)> keep);
// Draws the ImGui layer over what is in the renderer. Call after the frame is
// drawn and before SDL_RenderPresent; no-op without a window.
void DrawOverlay();
// Runs the ImGui layer's frame as DrawOverlay does (it takes the input that
// came since, as every present must), but draws it only when it looks
// different from the overlay last drawn over the window or the window was
// cleared under it since; before() runs just before drawing. True when drawn.
// The frame is not even run when it could only draw the same: no event came
// since the last one, no drawer is up, nothing is hovered or open, and the
// window's size and the menu bar's titles are as they were.
bool DrawOverlayIfChanged(const std::function<void()>& before);
// The window was drawn over where the overlay stands (cleared, say): the
// next DrawOverlayIfChanged draws.
void OverlayCleared();
// Redraws the last frame (or clears, without one), draws the ImGui layer and presents.
void PresentLastFrame();

// Whether the overlay must be presented again though the frame under it did
// not change: input reached ImGui while a drawer is up, a drawer was added or
// removed, a nested loop ended (what it drew must leave the window),
// RequestOverlayRedraw was called, or the last ImGui frame had a hovered item
// or an open popup. The presenter asks once per frame.
bool OverlayWantsRedraw();
// Asks for the overlay to be presented again (a drawer whose picture changes
// without input, such as a blinking caret, calls it).
void RequestOverlayRedraw();

// Overlay drawers run inside every ImGui frame in the order added (the menu
// bar, modeless dialogs). They must not block: a chosen menu command is posted
// to the window as kWmCommand. Returns an id for RemoveOverlayDrawer.
int AddOverlayDrawer(std::function<void()> draw);
void RemoveOverlayDrawer(int id);

// Runs a nested modal loop over the last frame: each turn handles the input
// (to ImGui; other messages wait until the loop ends) and draws an ImGui frame
// in which `frame` draws the modal; ends when `frame` returns false. The
// other overlay drawers stay visible but inert. Once the modal has settled
// the loop sleeps until an event comes (no drawing while nothing happens).
// False, and the caller takes its default, when there is no window, a loop
// cannot start here (inside an overlay drawer), the program is asked to end
// (SIGTERM, SIGINT or the window's close button, now or before: see
// EndRequested), or there is no display and no input is left to answer it.
// In a box's own window (RunInBoxWindow) its close button ends the loop
// that way too, without asking the program to end.
bool RunModalLoop(const std::function<bool()>& frame);
// Whether the video driver shows anything (not dummy or offscreen, and a
// DISPLAY or WAYLAND_DISPLAY is set).
bool HasDisplay();
// True while a nested modal loop runs (its drawers are inert).
bool InModalLoop();
// A key press as the layer's own event stream reports it. Events pushed for
// tests carry no modifier state of SDL's, so Shift and Alt are what the
// stream's own modifier keys say (or the event's, for a person's keys).
struct KeyStroke {
    int scancode = 0;     // platform::Key numbering
    char letter = 0;      // the letter or digit the key types, lower case; 0 for others
    bool shift = false;
    bool alt = false;
    bool repeat = false;  // the key's auto-repeat, not a new press
};
// The presses that came after the previous ImGui frame began and before the
// current one did; valid during the frame. A nested loop starts with none:
// what was pressed before it belonged to the game.
const std::vector<KeyStroke>& FrameKeyStrokes();
// Counts the pointer's motion events (a menu follows the pointer only when it moved).
uint32_t PointerMotionCount();
// True when the event stream last placed the pointer on the menu strip.
bool PointerOnMenuStrip();

// A press on the menu strip at window pixels (x, y): when it falls on a
// title of the window's menu bar, tracks that menu modally and posts the
// chosen command; true when a menu was tracked (SdlMenu.cpp).
bool PressOnMenuStrip(int windowX, int windowY);
// Draws the window's menu bar on the strip; every ImGui frame calls it before
// the overlay drawers (SdlMenu.cpp).
void DrawMenuBarOverlay();

// Whether a press at window pixels (x, y) belongs to a modeless window of
// the overlay (SdlDialog.cpp): the point lies on one as last drawn, or ImGui
// wanted the mouse at its last frame while one is open. Such presses never
// reach the game.
bool OverlayOwnsPress(int windowX, int windowY);

// Set-up and tear-down of the ImGui layer for the main window (SdlWindow.cpp).
bool InitImGuiLayer();
void ShutdownImGuiLayer();
// Feeds one SDL event to ImGui (the pump calls it). `event` is an SDL_Event.
void ImGuiProcessEvent(const void* event);

}  // namespace platform::sdl
