// The presenter on SDL: the screen mode, where the client area lies in the
// window, what changed since the last frame, and the window presenter that
// puts it on the window (WindowPresenter.h), chosen once per window.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/Video.h"
#include "platform/Window.h"
#include "platform/sdl/Overlay.h"
#include "platform/sdl/SdlContext.h"
#include "platform/sdl/WindowState.h"
#include "platform/sdl/WindowSystem.h"
#include "platform/video/WindowPresenter.h"

namespace platform {
namespace {

class SdlVideoOutput : public VideoOutput {
public:
    bool SetMode(int width, int height, bool fullScreen) override
    {
        SDL_Window* window = sdl::MainWindow();
        if (window == nullptr || width <= 0 || height <= 0) {
            return false;
        }
        int windowedW = 0, windowedH = 0;
        SDL_GetWindowSize(window, &windowedW, &windowedH);
        if (SDL_SetWindowFullscreen(window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
            std::fprintf(stderr, "lantern: cannot change the screen mode: %s\n", SDL_GetError());
            return false;
        }
        if (fullScreen && !sdl::WaitForFullScreen(window, windowedW, windowedH)) {
            // SDL believes in full screen but the window system did not do it
            // (no window manager): the picture would be cut and the pointer
            // off. The window comes back at the client size it had.
            std::fprintf(stderr, "lantern: the window system did not make the window full screen; "
                                 "it stays a window\n");
            SDL_SetWindowFullscreen(window, 0);
            Place(window, false, clientWidth_ > 0 ? clientWidth_ : width, clientHeight_ > 0 ? clientHeight_ : height);
            return false;
        }
        Place(window, fullScreen, width, height);
        return true;
    }

    bool IsFullScreen() const override { return fullScreen_; }
    bool HasWindow() const override { return sdl::MainWindow() != nullptr; }

    int DesktopBitsPerPixel() const override
    {
        SDL_DisplayMode mode;
        SDL_Window* window = sdl::MainWindow();
        int index = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
        if (SDL_GetDesktopDisplayMode(index < 0 ? 0 : index, &mode) != 0) {
            return 32;
        }
        int bits = SDL_BITSPERPIXEL(mode.format);
        return bits == 24 && SDL_BYTESPERPIXEL(mode.format) == 4 ? 32 : bits;
    }

    bool Present(const Frame& frame, int offsetX, int offsetY) override
    {
        SDL_Renderer* renderer = sdl::MainRenderer();
        const int bpp = BytesPerPixelOf(frame.format);
        if (renderer == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0 ||
            frame.pitch < frame.width * bpp) {
            return false;
        }
        bool whole = ChoosePresenter(renderer);
        if (clientWidth_ == 0) {
            clientWidth_ = frame.width;
            clientHeight_ = frame.height;
        }
        UpdateViewport();
        const FramePlacement placement{sdl::ClientViewport(), clientWidth_, clientHeight_, offsetX, offsetY};
        whole = whole || frame.changedCount < 0 || frame.width != frameWidth_ || frame.height != frameHeight_ ||
                frame.format != frameFormat_ || !(placement == placement_);
        TakeChanges(frame);
        // Asked every frame: the overlay forgets its request when asked.
        const bool overlay = sdl::OverlayWantsRedraw();
        if (!whole && changed_.empty() && !overlay) {
            return true;  // the window already shows this frame
        }
        if (!presenter_->Present(frame, changed_, whole, placement)) {
            frameWidth_ = 0;  // whatever went up, the next frame goes whole
            return false;
        }
        frameWidth_ = frame.width;
        frameHeight_ = frame.height;
        frameFormat_ = frame.format;
        placement_ = placement;
        return true;
    }

    bool ReadClientArea(std::vector<uint32_t>* pixels, int* width, int* height) override
    {
        if (presenter_ == nullptr || sdl::MainRenderer() == nullptr || serial_ != sdl::MainWindowSerial()) {
            return false;
        }
        return presenter_->ReadClientArea(pixels, width, height);
    }

private:
    // The presenter for this window, made at its first frame; true when it
    // is new (it has shown nothing yet).
    bool ChoosePresenter(SDL_Renderer* renderer)
    {
        if (presenter_ != nullptr && serial_ == sdl::MainWindowSerial()) {
            return false;
        }
        presenter_.reset();  // withdraws the old window's hooks first
        serial_ = sdl::MainWindowSerial();
        presenter_ = sdl::KeepsWindowSurface(renderer) ? CreateSurfacePresenter(renderer, serial_)
                                                       : CreateTexturePresenter(renderer, serial_);
        return true;
    }

    // The frame's changed rectangles, cut to the frame (empty ones dropped).
    void TakeChanges(const Frame& frame)
    {
        changed_.clear();
        for (int i = 0; i < frame.changedCount; ++i) {
            const FrameRect& c = frame.changed[i];
            const int x = std::max(c.x, 0), y = std::max(c.y, 0);
            const int w = std::min(c.x + c.w, frame.width) - x, h = std::min(c.y + c.h, frame.height) - y;
            if (w > 0 && h > 0) {
                changed_.push_back({x, y, w, h});
            }
        }
    }

    // Sizes a window for the client area and the menu strip (full screen
    // keeps the screen's size) and fits the client area into it.
    void Place(SDL_Window* window, bool fullScreen, int width, int height)
    {
        if (!fullScreen) {
            SDL_SetWindowSize(window, width, height + sdl::MainWindowState().stripHeight);
        }
        // The renderer learns the window's new size from the window events:
        // let them reach it now (they stay queued for the message pump).
        SDL_PumpEvents();
        fullScreen_ = fullScreen;
        clientWidth_ = width;
        clientHeight_ = height;
        UpdateViewport();
    }

    // The client area's place in the window: below the menu strip, scaled to
    // the window with its aspect kept (full screen), centred with black bars.
    void UpdateViewport()
    {
        SDL_Renderer* renderer = sdl::MainRenderer();
        if (renderer == nullptr || clientWidth_ <= 0 || clientHeight_ <= 0) {
            return;
        }
        int ww = 0, wh = 0;
        SDL_GetRendererOutputSize(renderer, &ww, &wh);
        const int top = sdl::MainWindowState().stripHeight;
        const int availW = ww, availH = std::max(wh - top, 1);
        int w = availW, h = static_cast<int>(static_cast<int64_t>(availW) * clientHeight_ / clientWidth_);
        if (h > availH) {
            h = availH;
            w = static_cast<int>(static_cast<int64_t>(availH) * clientWidth_ / clientHeight_);
        }
        sdl::SetClientViewport({(availW - w) / 2, top + (availH - h) / 2, w, h});
    }

    std::unique_ptr<WindowPresenter> presenter_;
    uint32_t serial_ = 0;  // the window the presenter was made for
    // What the window shows: the frame's size and format, where it was
    // placed (frameWidth_ 0: nothing yet, or a failed present).
    int frameWidth_ = 0, frameHeight_ = 0;
    FrameFormat frameFormat_ = FrameFormat::kXRGB8888;
    FramePlacement placement_;
    int clientWidth_ = 0, clientHeight_ = 0;
    std::vector<SDL_Rect> changed_;
    bool fullScreen_ = false;
};

}  // namespace

Uint32 SdlFormatOf(FrameFormat f)
{
    switch (f) {
    case FrameFormat::kRGB565: return SDL_PIXELFORMAT_RGB565;
    case FrameFormat::kXRGB1555: return SDL_PIXELFORMAT_RGB555;
    case FrameFormat::kBGR24: return SDL_PIXELFORMAT_BGR24;
    case FrameFormat::kRGB24: return SDL_PIXELFORMAT_RGB24;
    case FrameFormat::kXRGB8888: return SDL_PIXELFORMAT_RGB888;
    case FrameFormat::kXBGR8888: return SDL_PIXELFORMAT_BGR888;
    }
    return SDL_PIXELFORMAT_RGB888;
}

int BytesPerPixelOf(FrameFormat f)
{
    switch (f) {
    case FrameFormat::kRGB565:
    case FrameFormat::kXRGB1555: return 2;
    case FrameFormat::kBGR24:
    case FrameFormat::kRGB24: return 3;
    default: return 4;
    }
}

SDL_Rect FramePlacement::FrameOnWindow(int frameWidth, int frameHeight) const
{
    const int cw = clientWidth > 0 ? clientWidth : frameWidth;
    const int ch = clientHeight > 0 ? clientHeight : frameHeight;
    const sdl::Viewport& v = viewport;
    return {v.x + static_cast<int>(static_cast<int64_t>(offsetX) * v.w / cw),
            v.y + static_cast<int>(static_cast<int64_t>(offsetY) * v.h / ch),
            static_cast<int>(static_cast<int64_t>(frameWidth) * v.w / cw),
            static_cast<int>(static_cast<int64_t>(frameHeight) * v.h / ch)};
}

bool FramePlacement::OneToOne(int frameWidth, int frameHeight) const
{
    return offsetX == 0 && offsetY == 0 && viewport.w == frameWidth && viewport.h == frameHeight &&
           clientWidth == frameWidth && clientHeight == frameHeight;
}

bool FramePlacement::operator==(const FramePlacement& o) const
{
    return viewport.x == o.viewport.x && viewport.y == o.viewport.y && viewport.w == o.viewport.w &&
           viewport.h == o.viewport.h && clientWidth == o.clientWidth && clientHeight == o.clientHeight &&
           offsetX == o.offsetX && offsetY == o.offsetY;
}

bool ReadRenderer(SDL_Renderer* renderer, const sdl::Viewport& v, std::vector<uint32_t>* pixels, int* width,
                  int* height)
{
    // The overlay's drawing may leave a viewport of its own set.
    SDL_RenderSetViewport(renderer, nullptr);
    SDL_Rect area{v.x, v.y, v.w, v.h};
    std::vector<uint32_t> out(static_cast<size_t>(v.w) * v.h);
    if (v.w <= 0 || v.h <= 0 ||
        SDL_RenderReadPixels(renderer, &area, SDL_PIXELFORMAT_RGB888, out.data(), v.w * 4) != 0) {
        return false;
    }
    for (uint32_t& p : out) p &= 0xFFFFFF;
    *pixels = std::move(out);
    *width = v.w;
    *height = v.h;
    return true;
}

std::unique_ptr<VideoOutput> CreateVideoOutput() { return std::make_unique<SdlVideoOutput>(); }

}  // namespace platform
