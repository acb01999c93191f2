#pragma once
// Input for headless runs and tests: each call builds a real SDL event and
// queues it with SDL_PushEvent, so it travels the same road as the person's
// input (the pump, the input state, ImGui). Positions are window pixels: the
// client area starts kMenuBarHeight below the window's top. Each returns false
// when the event system cannot start or the queue is full.
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
// The title bar's close button.
bool PushWindowClose();
bool PushFocus(bool gained);

}  // namespace platform::testing
