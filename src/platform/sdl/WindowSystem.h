#pragma once
// Inside the platform layer only: what the window system itself says about
// the main window. SDL answers a full-screen request at once with the
// screen's size and the full-screen flag, but on X a window manager carries
// the request out; with none (a kiosk, a bare X server) the window keeps its
// old size while SDL reports the new one. The real size tells them apart.
struct SDL_Window;

namespace platform::sdl {

// After a full-screen request: waits (up to about half a second, for a
// window manager to act) until the window covers its display in full screen;
// false when it never did. windowedWidth x windowedHeight is the size the
// window had before the request.
bool WaitForFullScreen(SDL_Window* window, int windowedWidth, int windowedHeight);

}  // namespace platform::sdl
