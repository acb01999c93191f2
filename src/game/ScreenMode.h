#pragma once
// Screen-mode changes with their fall-backs: a full-screen depth the display
// refuses falls back to the next deeper depth and finally to the window, so
// a change always ends in a working mode.
#include <vector>

struct ScreenModeAttempt {
    bool fullScreen;
    int depth;
};

// The attempts for a requested mode, in order: 0 the window only; 24 full
// screen 24, 32, then the window; 32 full screen 32, then the window; 16
// and any other value full screen 16, 24, 32, then the window.
std::vector<ScreenModeAttempt> ScreenModeAttempts(int depth);

// Changes the display (CFastDraw or a test's stand-in) to the first attempt
// it accepts: BeginChangeDisplay, TestDisplayMode for each attempt (the
// display ignores those after one succeeded), EndChangeDisplay. Returns the
// mode in force: the screen's bits per pixel in full screen, else 0.
template <class Display>
int ChangeScreenMode(Display& display, int width, int height, int depth)
{
    display.BeginChangeDisplay();
    for (const ScreenModeAttempt& attempt : ScreenModeAttempts(depth))
        display.TestDisplayMode(width, height, attempt.fullScreen, attempt.depth);
    display.EndChangeDisplay();
    return display.IsFullScreen() ? display.GetScreenBitsPerPixel() : 0;
}
