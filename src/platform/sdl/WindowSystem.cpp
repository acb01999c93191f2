#include "platform/sdl/WindowSystem.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

#include "platform/EventInjection.h"
#include "platform/Video.h"
#include "platform/sdl/SdlContext.h"
#include "platform/sdl/WindowState.h"

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

namespace {
int gXError = 0;
int NoteXError(Display*, XErrorEvent* error)
{
    gXError = error->error_code;
    return 0;
}

// One channel of an X pixel, scaled to 8 bits.
uint32_t Channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<uint32_t>((((pixel & mask) >> shift) * 255 + max / 2) / max);
}
}  // namespace

bool ReadShownClientArea(std::vector<uint32_t>* pixels, int* width, int* height)
{
    SDL_Window* window = sdl::MainWindow();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return false;
    Display* display = info.info.x11.display;
    const sdl::Viewport v = sdl::ClientViewport();
    if (v.w <= 0 || v.h <= 0)
        return false;
    // The server has seen everything sent so far once XSync returns; an
    // error (a window not mapped yet) must not end the program.
    XSync(display, False);
    gXError = 0;
    XErrorHandler previous = XSetErrorHandler(NoteXError);
    XImage* image = XGetImage(display, info.info.x11.window, v.x, v.y, static_cast<unsigned>(v.w),
                              static_cast<unsigned>(v.h), AllPlanes, ZPixmap);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (image == nullptr || gXError != 0) {
        if (image != nullptr) XDestroyImage(image);
        return false;
    }
    std::vector<uint32_t> out(static_cast<size_t>(v.w) * v.h);
    for (int y = 0; y < v.h; ++y) {
        for (int x = 0; x < v.w; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            out[static_cast<size_t>(y) * v.w + x] = Channel(p, image->red_mask) << 16 |
                                                     Channel(p, image->green_mask) << 8 |
                                                     Channel(p, image->blue_mask);
        }
    }
    XDestroyImage(image);
    *pixels = std::move(out);
    *width = v.w;
    *height = v.h;
    return true;
}
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
