#pragma once
// Inside the platform layer only: where an ImGui frame draws on the window,
// so that a presenter can keep what lies there and put it back when the
// overlay moves or goes.
#include <vector>

#include "platform/sdl/Overlay.h"

struct ImDrawData;

namespace platform::sdl {

// The places of a windowWidth x windowHeight window that the draw data
// touches: each command's vertices' bounds cut to its clip rectangle and to
// the window, with places that touch or overlap merged. Empty when it draws
// nothing.
std::vector<WindowRect> OverlayPlaces(const ImDrawData& data, int windowWidth, int windowHeight);

// Merges rectangles that overlap or touch into their bounds until none do.
void MergeTouching(std::vector<WindowRect>* places);

}  // namespace platform::sdl
