#include "platform/sdl/WindowSystem.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include "platform/Video.h"

namespace platform {
namespace {

bool gRefuseFullScreen = false;

// The window's size as the window system has it: on X asked of the server
// (after it has seen every request so far), elsewhere SDL's own account.
void RealWindowSize(SDL_Window* window, int* w, int* h)
{
    SDL_GetWindowSize(window, w, h);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return;
    XSync(info.info.x11.display, False);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) != 0) {
        *w = attributes.width;
        *h = attributes.height;
    }
}

}  // namespace

namespace testing {
void RefuseFullScreen(bool refuse) { gRefuseFullScreen = refuse; }
}  // namespace testing

namespace sdl {

bool WaitForFullScreen(SDL_Window* window, int windowedWidth, int windowedHeight)
{
    const int display = SDL_GetWindowDisplayIndex(window);
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) != 0)
        return false;
    // A window manager answers within a few frames; 500 ms leaves room for a
    // busy one and is paid in full only where nobody answers.
    const Uint32 start = SDL_GetTicks();
    for (;;) {
        SDL_PumpEvents();
        const bool flagged = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
        int w = 0, h = 0;
        RealWindowSize(window, &w, &h);
        // The stand-in for a server without a window manager: the window
        // keeps the size it had, whatever SDL was told.
        if (gRefuseFullScreen) {
            w = windowedWidth;
            h = windowedHeight;
        }
        if (flagged && w == bounds.w && h == bounds.h)
            return true;
        if (gRefuseFullScreen || SDL_GetTicks() - start >= 500)
            return false;
        SDL_Delay(10);
    }
}

}  // namespace sdl
}  // namespace platform
