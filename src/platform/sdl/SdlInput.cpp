// Input tracking: the state of every key, joystick input and mouse button as
// the events reported it, with a tap memory so that a press released again
// before the next read still counts once.
#include "platform/Input.h"
#include "platform/sdl/WindowState.h"

namespace platform::sdl {

namespace {

// Axis positions beyond a third of the range count as a direction.
constexpr int kAxisThreshold = 32767 / 3;

struct Tracker {
    KeySnapshot held;
    KeySnapshot tapped;
    MouseSnapshot mouse;
    bool leftTapped = false;
    bool rightTapped = false;
    bool middleTapped = false;
    // Joystick directions come from the first two axes and the first hat.
    std::array<bool, 4> axisDirections{};
    std::array<bool, 4> hatDirections{};
};
Tracker gTracker;

void SetDirection(int index)
{
    Tracker& t = gTracker;
    const bool was = t.held.joyDirections[index];
    const bool now = t.axisDirections[index] || t.hatDirections[index];
    t.held.joyDirections[index] = now;
    if (now && !was) {
        t.tapped.joyDirections[index] = true;
    }
}

void TrackAxis(int axis, int value, bool releasesOnly)
{
    if (axis > 1) {
        return;
    }
    const int negative = axis == 0 ? static_cast<int>(JoyDirection::Left) : static_cast<int>(JoyDirection::Up);
    const int positive = axis == 0 ? static_cast<int>(JoyDirection::Right) : static_cast<int>(JoyDirection::Down);
    const bool negDown = value < -kAxisThreshold;
    const bool posDown = value > kAxisThreshold;
    Tracker& t = gTracker;
    if (!releasesOnly || !negDown) {
        t.axisDirections[negative] = negDown;
    }
    if (!releasesOnly || !posDown) {
        t.axisDirections[positive] = posDown;
    }
    SetDirection(negative);
    SetDirection(positive);
}

void TrackHat(int hat, uint8_t value, bool releasesOnly)
{
    if (hat != 0) {
        return;
    }
    const bool dirs[4] = {(value & SDL_HAT_UP) != 0, (value & SDL_HAT_DOWN) != 0, (value & SDL_HAT_LEFT) != 0,
                          (value & SDL_HAT_RIGHT) != 0};
    for (int i = 0; i < 4; ++i) {
        if (!releasesOnly || !dirs[i]) {
            gTracker.hatDirections[i] = dirs[i];
        }
        SetDirection(i);
    }
}

void SetButton(bool* held, bool* tapped, bool down, bool releasesOnly)
{
    if (down && releasesOnly) {
        return;
    }
    *held = down;
    if (down) {
        *tapped = true;
    }
}

}  // namespace

void TrackInputEvent(const SDL_Event& event, bool releasesOnly)
{
    Tracker& t = gTracker;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const int code = event.key.keysym.scancode;
        if (code > 0 && code < kKeyCount) {
            SetButton(&t.held.keys[code], &t.tapped.keys[code], event.type == SDL_KEYDOWN, releasesOnly);
        }
        break;
    }
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP: {
        const int button = event.jbutton.button;
        if (button < kJoyButtonCount) {
            SetButton(&t.held.joyButtons[button], &t.tapped.joyButtons[button],
                      event.type == SDL_JOYBUTTONDOWN, releasesOnly);
        }
        break;
    }
    case SDL_JOYAXISMOTION:
        TrackAxis(event.jaxis.axis, event.jaxis.value, releasesOnly);
        break;
    case SDL_JOYHATMOTION:
        TrackHat(event.jhat.hat, event.jhat.value, releasesOnly);
        break;
    case SDL_MOUSEMOTION: {
        WindowToClient(event.motion.x, event.motion.y, &t.mouse.x, &t.mouse.y);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        // A press on the menu strip belongs to the menu bar, one on a
        // window of the overlay to that window.
        if (down && (event.button.y < MainWindowState().stripHeight ||
                     OverlayOwnsPress(event.button.x, event.button.y))) {
            break;
        }
        if (event.button.button == SDL_BUTTON_LEFT) {
            SetButton(&t.mouse.left, &t.leftTapped, down, releasesOnly);
        } else if (event.button.button == SDL_BUTTON_RIGHT) {
            SetButton(&t.mouse.right, &t.rightTapped, down, releasesOnly);
        } else if (event.button.button == SDL_BUTTON_MIDDLE) {
            SetButton(&t.mouse.middle, &t.middleTapped, down, releasesOnly);
        }
        break;
    }
    case SDL_MOUSEWHEEL: {
        if (releasesOnly) {
            break;  // a modal loop's wheel belongs to it
        }
        const int steps = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        t.mouse.wheel += steps;
        break;
    }
    default:
        break;
    }
}

}  // namespace platform::sdl

namespace platform {

void ReadKeys(KeySnapshot* out)
{
    sdl::Tracker& t = sdl::gTracker;
    for (int i = 0; i < kKeyCount; ++i) {
        out->keys[i] = t.held.keys[i] || t.tapped.keys[i];
    }
    for (int i = 0; i < kJoyButtonCount; ++i) {
        out->joyButtons[i] = t.held.joyButtons[i] || t.tapped.joyButtons[i];
    }
    for (int i = 0; i < 4; ++i) {
        out->joyDirections[i] = t.held.joyDirections[i] || t.tapped.joyDirections[i];
    }
    t.tapped = KeySnapshot{};
}

void ReadMouse(MouseSnapshot* out)
{
    sdl::Tracker& t = sdl::gTracker;
    *out = t.mouse;
    out->left = t.mouse.left || t.leftTapped;
    out->right = t.mouse.right || t.rightTapped;
    out->middle = t.mouse.middle || t.middleTapped;
    t.leftTapped = t.rightTapped = t.middleTapped = false;
    t.mouse.wheel = 0;
}

void ResetInputState()
{
    sdl::Tracker& t = sdl::gTracker;
    const int x = t.mouse.x;
    const int y = t.mouse.y;
    t = sdl::Tracker{};
    t.mouse.x = x;
    t.mouse.y = y;
}

}  // namespace platform
