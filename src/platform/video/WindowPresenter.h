#pragma once
// Inside the platform layer only: what puts a frame and the overlay on the
// main window. The window's content is always one function of two things:
// the frame last presented, placed in the client area (black around it), and
// the overlay drawn over it now. A presenter is chosen once per window:
//  - SurfacePresenter, where the renderer draws into the window's own
//    surface (SDL's software renderer): that surface is the only copy of the
//    frame, and only the parts that changed are sent to the window;
//  - TexturePresenter otherwise: the frame is kept in a texture and the
//    whole window is drawn and presented each time.
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Video.h"
#include "platform/sdl/Overlay.h"

namespace platform {

// Where the frame goes on the window.
struct FramePlacement {
    sdl::Viewport viewport;  // the client area in window pixels
    int clientWidth = 0;     // the client area in frame pixels
    int clientHeight = 0;
    int offsetX = 0;         // the frame's shift in client pixels
    int offsetY = 0;

    // The frame's rectangle on the window (it may reach past the viewport).
    SDL_Rect FrameOnWindow(int frameWidth, int frameHeight) const;
    // True when frame pixels land one for one on window pixels at the
    // viewport's corner (no scaling, no shift).
    bool OneToOne(int frameWidth, int frameHeight) const;
    bool operator==(const FramePlacement& o) const;
};

class WindowPresenter {
public:
    virtual ~WindowPresenter() = default;
    // Puts the frame on the window with the overlay over it and sends the
    // result: only `changed` (frame rectangles, inside the frame) is new
    // unless `whole`. False when nothing could be shown (the caller then
    // sends the next frame whole).
    virtual bool Present(const Frame& frame, const std::vector<SDL_Rect>& changed, bool whole,
                         const FramePlacement& placement) = 0;
    // The client area as the window holds it, as 0x00RRGGBB pixels (false
    // before the first frame).
    virtual bool ReadClientArea(std::vector<uint32_t>* pixels, int* width, int* height) = 0;
};

// Both register the overlay's hooks (SetLastFrameRedraw, and for the
// surface presenter SetOverlayUnderKeeper) and withdraw them when deleted.
// windowSerial is the main window's serial (sdl::MainWindowSerial) when
// made: once that window has gone they draw nothing, and what belonged to
// it is dropped, not freed.
std::unique_ptr<WindowPresenter> CreateSurfacePresenter(SDL_Renderer* renderer, uint32_t windowSerial);
std::unique_ptr<WindowPresenter> CreateTexturePresenter(SDL_Renderer* renderer, uint32_t windowSerial);

// The viewport's pixels as the renderer holds them, as 0x00RRGGBB (the
// renderer's own viewport is reset to the whole output first); false, and
// nothing written, when they cannot be read.
bool ReadRenderer(SDL_Renderer* renderer, const sdl::Viewport& viewport, std::vector<uint32_t>* pixels, int* width,
                  int* height);

// SDL's pixel format for a frame format, and its bytes per pixel.
Uint32 SdlFormatOf(FrameFormat format);
int BytesPerPixelOf(FrameFormat format);

// The first byte of pixel (x, y) in pixels whose rows are `pitch` bytes apart.
template <typename Byte>
Byte* PixelAt(Byte* pixels, int pitch, int x, int y, int bytesPerPixel)
{
    return pixels + static_cast<intptr_t>(pitch) * y + static_cast<intptr_t>(x) * bytesPerPixel;
}

}  // namespace platform
