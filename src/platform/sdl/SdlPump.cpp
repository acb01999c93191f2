// The message pump: SDL events and posted messages become window messages.
#include <atomic>
#include <mutex>

#include "platform/Input.h"
#include "platform/MessagePump.h"
#include "platform/WindowMessages.h"
#include "platform/sdl/WindowState.h"

namespace platform::sdl {

namespace {
std::atomic<uint32_t> gPostedEvent{0};
std::once_flag gEventOnce;
std::atomic<bool> gQuitRequested{false};
std::atomic<bool> gEndRequested{false};
std::atomic<int> gQuitCode{0};
bool gLastWasClose = false;

intptr_t Dispatch(uint32_t message, WParam wParam, LParam lParam)
{
    WindowState& state = MainWindowState();
    if (!state.window || !state.proc) {
        return 0;
    }
    // Copy the procedure: a listener may destroy the window while it runs.
    WindowProc proc = state.proc;
    return proc(MainHandle(), message, wParam, lParam);
}

bool InStrip(int windowY)
{
    return windowY < MainWindowState().stripHeight;
}

void UpdateCursorForPosition(int windowY)
{
    const WindowState& state = MainWindowState();
    const bool show = InStrip(windowY) || state.cursorShown;
    if ((SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE) != show) {
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
}

void SetActive(bool active)
{
    WindowState& state = MainWindowState();
    if (state.active == active) {
        return;
    }
    state.active = active;
    if (!active) {
        ResetInputState();
    }
    Dispatch(kWmActivateApp, active ? 1 : 0, 0);
    Dispatch(kWmActivate, active ? kWaActive : kWaInactive, 0);
}

void HandleWindowEvent(const SDL_WindowEvent& event)
{
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        gLastWasClose = true;
        Dispatch(kWmClose, 0, 0);
        return;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        SetActive(true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_MINIMIZED:
        SetActive(false);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        PresentLastFrame();
        break;
    default:
        break;
    }
    gLastWasClose = false;
}

void HandleMouseButton(const SDL_MouseButtonEvent& event)
{
    if (event.button != SDL_BUTTON_LEFT && event.button != SDL_BUTTON_RIGHT) {
        return;
    }
    // A press on the menu strip belongs to the menu bar, not to the game.
    if (event.state == SDL_PRESSED && InStrip(event.y)) {
        if (event.button == SDL_BUTTON_LEFT) {
            PressOnMenuStrip(event.x, event.y);
        }
        return;
    }
    // So does a press on a window of the overlay (the variable watch).
    if (event.state == SDL_PRESSED && OverlayOwnsPress(event.x, event.y)) {
        return;
    }
    int cx = 0;
    int cy = 0;
    WindowToClient(event.x, event.y, &cx, &cy);
    const bool left = event.button == SDL_BUTTON_LEFT;
    uint32_t message = 0;
    if (event.state == SDL_PRESSED) {
        message = left ? kWmLButtonDown : kWmRButtonDown;
    } else {
        message = left ? kWmLButtonUp : kWmRButtonUp;
    }
    Dispatch(message, 0, MakePointParam(cx, cy));
}

void HandleEvent(const SDL_Event& event)
{
    ImGuiProcessEvent(&event);
    const uint32_t posted = gPostedEvent.load();
    if (posted != 0 && event.type == posted) {
        gLastWasClose = false;
        Dispatch(static_cast<uint32_t>(event.user.code), reinterpret_cast<WParam>(event.user.data1),
                 reinterpret_cast<LParam>(event.user.data2));
        return;
    }
    switch (event.type) {
    case SDL_QUIT:
        // Closing the window sends its close event and then SDL_QUIT: one
        // close message is enough. SDL_QUIT alone (a signal) also closes, and
        // ends the program whatever a listener makes of the close.
        if (!gLastWasClose) {
            RequestEnd();
            Dispatch(kWmClose, 0, 0);
        }
        gLastWasClose = false;
        return;
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event.window);
        return;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        // Alt and a title's letter, or F10, belong to the menu bar.
        if (event.type == SDL_KEYDOWN && KeyOpensMenuBar(event.key)) {
            break;
        }
        TrackInputEvent(event, false);
        Dispatch(event.type == SDL_KEYDOWN ? kWmKeyDown : kWmKeyUp,
                 static_cast<WParam>(event.key.keysym.scancode), 0);
        break;
    case SDL_MOUSEMOTION: {
        TrackInputEvent(event, false);
        UpdateCursorForPosition(event.motion.y);
        int cx = 0;
        int cy = 0;
        WindowToClient(event.motion.x, event.motion.y, &cx, &cy);
        Dispatch(kWmMouseMove, 0, MakePointParam(cx, cy));
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TrackInputEvent(event, false);
        HandleMouseButton(event.button);
        break;
    case SDL_JOYDEVICEADDED:
        SDL_JoystickOpen(event.jdevice.which);
        break;
    default:
        TrackInputEvent(event, false);
        break;
    }
    gLastWasClose = false;
}

int DrainEvents()
{
    if (TakeSingleInstancePokes() > 0) {
        RaiseMainWindow();
    }
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
        return 0;
    }
    int count = 0;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        HandleEvent(event);
        ++count;
    }
    return count;
}

}  // namespace

bool EnsureEventSystem()
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0 && SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
        return false;
    }
    std::call_once(gEventOnce, [] {
        const uint32_t type = SDL_RegisterEvents(1);
        if (type != static_cast<uint32_t>(-1)) {
            gPostedEvent.store(type);
        }
    });
    return gPostedEvent.load() != 0;
}

uint32_t PostedMessageEvent() { return gPostedEvent.load(); }

}  // namespace platform::sdl

namespace platform {

int PumpMessages() { return sdl::DrainEvents(); }

int WaitMessages(int timeoutMs)
{
    if (SDL_WasInit(SDL_INIT_EVENTS) != 0) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, timeoutMs < 0 ? 0 : timeoutMs)) {
            sdl::HandleEvent(event);
            return 1 + sdl::DrainEvents();
        }
    } else if (timeoutMs > 0) {
        SDL_Delay(static_cast<uint32_t>(timeoutMs));
    }
    return sdl::DrainEvents();
}

bool PostMessage(WindowHandle, uint32_t message, WParam wParam, LParam lParam)
{
    if (!sdl::EnsureEventSystem()) {
        return false;
    }
    SDL_Event event{};
    event.type = sdl::PostedMessageEvent();
    event.user.code = static_cast<int32_t>(message);
    event.user.data1 = reinterpret_cast<void*>(wParam);
    event.user.data2 = reinterpret_cast<void*>(lParam);
    return SDL_PushEvent(&event) == 1;
}

intptr_t SendMessage(WindowHandle, uint32_t message, WParam wParam, LParam lParam)
{
    return sdl::Dispatch(message, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    sdl::gQuitCode.store(exitCode);
    sdl::gQuitRequested.store(true);
}

void RequestEnd() { sdl::gEndRequested.store(true); }

bool EndRequested() { return sdl::gEndRequested.load(); }

bool StopPending()
{
    if (EndRequested()) {
        return true;
    }
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
        return false;
    }
    // Fetching the system's events costs microseconds, reading the clock
    // nanoseconds: a scenario running instructions back to back stays fast,
    // and a stop is still heard within a few milliseconds. SDL turns a
    // signal into SDL_QUIT only while it fetches.
    constexpr uint64_t kLookEveryMs = 5;
    static uint64_t lastLook = 0;
    const uint64_t now = SDL_GetTicks64();
    if (lastLook != 0 && now - lastLook < kLookEveryMs) {
        return false;
    }
    lastLook = now;
    SDL_PumpEvents();
    bool found = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0;
    SDL_Event windowEvents[32];
    const int count = found ? 0 : SDL_PeepEvents(windowEvents, 32, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    for (int i = 0; i < count && !found; ++i) {
        found = windowEvents[i].window.event == SDL_WINDOWEVENT_CLOSE;
    }
    if (found) {
        lastLook = 0;  // still waiting at the next question, until the loop takes it
    }
    return found;
}

bool QuitRequested(int* exitCode)
{
    if (!sdl::gQuitRequested.load()) {
        return false;
    }
    if (exitCode) {
        *exitCode = sdl::gQuitCode.load();
    }
    return true;
}

}  // namespace platform

namespace platform::testing {

void ClearEndRequest() { sdl::gEndRequested.store(false); }

}  // namespace platform::testing
