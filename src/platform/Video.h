#pragma once
// The display's output: puts a back buffer on the main window.
//
// The back buffer keeps its own pixel format all the way to the screen: the
// presenter uploads it to a texture of the same format (a 16-bit mode really
// shows 5-6-5 pixels), shifted by the screen offset, and scales the client
// area to the window (full screen: the desktop's size, aspect kept, black
// bars). Without a main window (a headless run) every call that would show
// something answers false and the caller carries on.
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// Pixel layouts a back buffer can have (memory order of the bytes).
enum class FrameFormat {
    kRGB565,    // 16-bit word: red 11-15, green 5-10, blue 0-4
    kXRGB1555,  // 16-bit word: bit 15 unused, red 10-14, green 5-9, blue 0-4
    kBGR24,     // bytes B, G, R
    kRGB24,     // bytes R, G, B
    kXRGB8888,  // bytes B, G, R, unused
    kXBGR8888,  // bytes R, G, B, unused
};

// A rectangle of frame pixels.
struct FrameRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

struct Frame {
    const uint8_t* pixels = nullptr;  // row 0
    int32_t pitch = 0;                // bytes from one row to the next
    int width = 0;
    int height = 0;
    FrameFormat format = FrameFormat::kXRGB8888;
    // Where this frame differs from the one presented before it; a negative
    // count means it may differ anywhere.
    const FrameRect* changed = nullptr;
    int changedCount = -1;
};

class VideoOutput {
public:
    virtual ~VideoOutput() = default;
    // Switches the main window to windowed or to full screen on the desktop
    // for a client area of width x height; false (nothing changed) without a
    // main window or when the window system refuses. Full screen counts as
    // taken only once the window system reports the window covering the
    // screen; when it does not, the window is put back as it was.
    virtual bool SetMode(int width, int height, bool fullScreen) = 0;
    virtual bool IsFullScreen() const = 0;
    // True while the main window exists.
    virtual bool HasWindow() const = 0;
    // Bits per pixel of the desktop the window is on (32 without a display).
    virtual int DesktopBitsPerPixel() const = 0;
    // Uploads the frame's changed parts, draws it shifted by (offsetX,
    // offsetY) client pixels (uncovered parts black), draws the window's
    // overlay layer (menu bar, dialogs) and presents. A frame that changed
    // nothing, at the same offset and window size, with an overlay that does
    // not want a redraw, is not presented again (true all the same). False
    // without a main window or on a bad frame.
    virtual bool Present(const Frame& frame, int offsetX, int offsetY) = 0;
    // Reads the client area back as 0x00RRGGBB pixels, width x height of the
    // client area in the window (tests and screenshots): what the window was
    // last sent where the renderer keeps it (the software renderer), else the
    // last presented frame drawn again, without presenting. False without a
    // window or frame.
    virtual bool ReadClientArea(std::vector<uint32_t>* pixels, int* width, int* height) = 0;
};

// The SDL implementation on the main window (platform::CreateMainWindow).
// Never null; it presents nothing until the main window exists.
std::unique_ptr<VideoOutput> CreateVideoOutput();

namespace testing {
// A stand-in for a window system without a window manager: while on, a
// full-screen request leaves the window at its size, as a bare X server
// does, and SetMode must find that out and refuse.
void RefuseFullScreen(bool refuse);
}  // namespace testing

}  // namespace platform
