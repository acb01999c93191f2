#pragma once
// Inside the platform layer only: how the window's picture is put together.
// The display's presenter draws the client area into MainRenderer(), then
// calls DrawOverlay() (the ImGui layer: menu bar, dialogs, message boxes) and
// only then SDL_RenderPresent. Nested loops (message boxes, dialogs) keep the
// last frame on screen through the redraw hook the presenter registers.
#include <functional>

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

// The presenter's way to draw its last frame again (copy only, no present).
// Null when the presenter goes away; its textures must outlive the hook.
void SetLastFrameRedraw(std::function<void()> redraw);
// Draws the ImGui layer over what is in the renderer. Call after the frame is
// drawn and before SDL_RenderPresent; no-op without a window.
void DrawOverlay();
// Clears, redraws the last frame, draws the ImGui layer and presents.
void PresentLastFrame();

// Whether the overlay must be presented again though the frame under it did
// not change: input reached ImGui while a drawer is up, a drawer was added or
// removed, RequestOverlayRedraw was called, or the last ImGui frame had a
// hovered item or an open popup. The presenter asks once per frame.
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
// other overlay drawers stay visible but inert. False when there is no window
// or a loop cannot start here (inside an overlay drawer).
bool RunModalLoop(const std::function<bool()>& frame);

// Set-up and tear-down of the ImGui layer for the main window (SdlWindow.cpp).
bool InitImGuiLayer();
void ShutdownImGuiLayer();
// Feeds one SDL event to ImGui (the pump calls it). `event` is an SDL_Event.
void ImGuiProcessEvent(const void* event);

}  // namespace platform::sdl
