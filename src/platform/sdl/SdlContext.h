#pragma once
// Inside the platform layer only: the SDL objects of the application's main
// window, for the parts of the layer that draw into it (the display's
// presenter, the message boxes and dialogs). Both are null before the main
// window exists and after it is destroyed.
#include <cstdint>

struct SDL_Window;
struct SDL_Renderer;

namespace platform::sdl {

SDL_Window* MainWindow();
SDL_Renderer* MainRenderer();
// Counts the main windows made so far: what belongs to one window (a
// texture of its renderer) is not used with the next, whatever its address.
uint32_t MainWindowSerial();
// True when renderer is SDL's software renderer drawing into its window's
// surface: what it drew stays there between presents, so a frame may redraw
// and send to the window only the parts that changed.
bool KeepsWindowSurface(SDL_Renderer* renderer);

}  // namespace platform::sdl
