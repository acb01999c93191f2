#include <SDL.h>

#include <cstring>
#include <string>

#include "platform/EventInjection.h"
#include "platform/sdl/WindowState.h"

namespace platform::testing {

namespace {

uint32_t WindowId()
{
    SDL_Window* window = sdl::MainWindowState().window;
    return window ? SDL_GetWindowID(window) : 0;
}

bool Push(SDL_Event* event)
{
    if (!sdl::EnsureEventSystem()) {
        return false;
    }
    event->common.timestamp = SDL_GetTicks();
    return SDL_PushEvent(event) == 1;
}

bool PushWindowEvent(uint8_t what)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = WindowId();
    event.window.event = what;
    return Push(&event);
}

}  // namespace

bool SystemCursorShown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

bool SystemArrowSet()
{
    const sdl::WindowState& state = sdl::MainWindowState();
    return state.window && state.arrow && SDL_GetCursor() == state.arrow;
}

bool PushKey(Key key, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = WindowId();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(key);
    event.key.keysym.sym = SDL_GetKeyFromScancode(event.key.keysym.scancode);
    return Push(&event);
}

bool PushText(const std::string& utf8)
{
    for (size_t pos = 0; pos < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[pos]);
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = WindowId();
        const std::string one = utf8.substr(pos, length);
        std::memcpy(event.text.text, one.data(), one.size());
        pos += length;
        if (!Push(&event))
            return false;
    }
    return true;
}

bool PushMouseButton(int button, bool down, int windowX, int windowY)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = WindowId();
    event.button.button = static_cast<uint8_t>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = windowX;
    event.button.y = windowY;
    return Push(&event);
}

bool PushMouseMotion(int windowX, int windowY)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = WindowId();
    event.motion.x = windowX;
    event.motion.y = windowY;
    return Push(&event);
}

bool PushMouseWheel(int steps)
{
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = WindowId();
    event.wheel.y = steps;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    return Push(&event);
}

bool PushJoystickButton(int button, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    event.jbutton.button = static_cast<uint8_t>(button);
    event.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    return Push(&event);
}

bool PushJoystickAxis(int axis, int value)
{
    SDL_Event event{};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.axis = static_cast<uint8_t>(axis);
    event.jaxis.value = static_cast<int16_t>(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
    return Push(&event);
}

bool PushJoystickHat(int value)
{
    SDL_Event event{};
    event.type = SDL_JOYHATMOTION;
    event.jhat.hat = 0;
    event.jhat.value = static_cast<uint8_t>(value);
    return Push(&event);
}

bool PushWindowClose() { return PushWindowEvent(SDL_WINDOWEVENT_CLOSE); }

bool PushFocus(bool gained)
{
    return PushWindowEvent(gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
}

}  // namespace platform::testing
