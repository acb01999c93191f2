#pragma once
// Inside the platform layer only: the state of the main window shared by the
// window, pump, input and overlay code.
#include <SDL.h>

#include <functional>
#include <string>

#include "platform/Window.h"
#include "platform/sdl/Overlay.h"

namespace platform::sdl {

struct WindowState {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    WindowProc proc;
    int clientWidth = 0;
    int clientHeight = 0;
    int stripHeight = 0;
    Viewport viewport;
    bool active = false;
    bool cursorShown = true;      // what the program asked for the client area
    bool boxOnly = false;         // a message box's own window (RunInBoxWindow), not the game's
    SDL_Cursor* arrow = nullptr;  // the system's arrow the window points with (UseSystemArrow)
};

WindowState& MainWindowState();
// The handle the program sees for the main window.
WindowHandle MainHandle();

// Makes the system's arrow the pointer over the state's window (its window
// must exist): SDL's default on X11 is no pointer of its own, which shows the
// root window's, a cross without a window manager. Leaves state.arrow null
// where the driver has no system pointers (the dummy one).
void UseSystemArrow(WindowState& state);
// Frees state.arrow (SDL's default pointer comes back); before the video
// subsystem quits, which frees every pointer itself.
void FreeSystemArrow(WindowState& state);

// Window pixels to client coordinates through the presenter's viewport.
void WindowToClient(int windowX, int windowY, int* clientX, int* clientY);

// Input tracking (SdlInput.cpp): every event the pump or a nested loop takes
// passes through here. With releasesOnly, presses are ignored (a nested loop
// owns them) but releases still count, so no key stays stuck.
void TrackInputEvent(const SDL_Event& event, bool releasesOnly);

// Before the main window exists: makes a small window of the given title and
// runs `body` with it standing in as the main window, so that the ImGui layer
// and RunModalLoop serve it (a message box). `measure` gets the window's size
// once the ImGui layer is up (its font loaded). Closing that window ends only
// the modal loop, not the program. False, without running `body`, when a main
// window exists or no window can be made.
bool RunInBoxWindow(const std::string& utf8Title, const std::function<void(int* width, int* height)>& measure,
                    const std::function<void()>& body);

// The stroke a key event makes, with the modifiers the layer has seen held
// (ImGuiLayer.cpp; the event must have passed ImGuiProcessEvent first).
KeyStroke StrokeOf(const SDL_KeyboardEvent& key);
// A key press in the game's loop that opens a menu of the menu bar (Alt and
// a title's underlined letter, or F10 for the first menu): tracks it
// modally, posts the chosen command and returns true; the key then belongs
// to the menu, not to the game (SdlMenu.cpp).
bool KeyOpensMenuBar(const SDL_KeyboardEvent& key);

// Pokes of the single-instance guard (SingleInstance.cpp); the pump raises
// the window when any came.
int TakeSingleInstancePokes();

// The SDL event number of posted messages (SdlPump.cpp); 0 before the event
// system starts.
uint32_t PostedMessageEvent();
bool EnsureEventSystem();

}  // namespace platform::sdl
