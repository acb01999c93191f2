#pragma once
// Input for headless runs and tests: each call builds a real SDL event and
// queues it with SDL_PushEvent, so it travels the same road as the person's
// input (the pump, the input state, ImGui). Positions are window pixels: the
// client area starts kMenuBarHeight below the window's top. Each returns false
// when the event system cannot start or the queue is full.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Input.h"

namespace platform::testing {

bool PushKey(Key key, bool down);
// button: 1 left, 2 middle, 3 right.
bool PushMouseButton(int button, bool down, int windowX, int windowY);
bool PushMouseMotion(int windowX, int windowY);
// steps > 0 turns the wheel away from the user, < 0 towards.
bool PushMouseWheel(int steps);
bool PushJoystickButton(int button, bool down);
// axis 0 horizontal, 1 vertical; value -32768..32767.
bool PushJoystickAxis(int axis, int value);
// hat bits: 1 up, 2 right, 4 down, 8 left.
bool PushJoystickHat(int value);
// Typed text (UTF-8), as text-input events of at most one character each,
// so a long text never overflows an event's buffer.
bool PushText(const std::string& utf8);
// The title bar's close button.
bool PushWindowClose();
bool PushFocus(bool gained);

// Called once per turn of every nested modal loop (message boxes, menus,
// dialogs), after the turn's picture is drawn and before it is shown: a test
// pushes its next events there (the loop reads them in its next turn) and may
// capture the window. Null removes it.
void SetModalTurnHook(std::function<void()> hook);
// Forgets an end request (RequestEnd in MessagePump.h), so that one test's
// signal does not end the next test's loops.
void ClearEndRequest();
// The whole window (menu strip, client area and the ImGui overlay) as
// 0x00RRGGBB pixels, rows top-down: inside the turn hook that turn's picture;
// elsewhere the last frame drawn again with the overlay. False without a
// window; the outputs are written only on success.
bool CaptureWindow(std::vector<uint32_t>* pixels, int* width, int* height);

// The client area as the X server shows it in the main window now, as
// 0x00RRGGBB pixels: what really reached the screen, whichever way it was
// drawn. False without an X window (the dummy driver, Wayland) or when the
// server cannot give it; the outputs are written only on success.
bool ReadShownClientArea(std::vector<uint32_t>* pixels, int* width, int* height);

// Whether the system's pointer is shown over the window now.
bool SystemCursorShown();
// Whether the pointer set for the window (the main one, or a box's own) is
// the system's arrow. False without a window, and on a driver without system
// pointers (the dummy one).
bool SystemArrowSet();

// Where to point at a menu (window pixels, the centre of the entry): the
// menu-bar title at a position (the bar must have been drawn once), and an
// item of the menu open at a depth (0 the first opened) while a menu is
// tracked (from the turn hook). False when there is no such entry.
bool MenuBarTitleCentre(int position, int* x, int* y);
bool OpenMenuItemCentre(int level, int position, int* x, int* y);

}  // namespace platform::testing
