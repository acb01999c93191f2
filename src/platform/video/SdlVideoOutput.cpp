// The presenter on SDL: one streaming texture in the back buffer's own
// format, copied into the client viewport of the main window.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "frame/Prefetch.h"
#include "platform/Video.h"
#include "platform/Window.h"
#include "platform/sdl/Overlay.h"
#include "platform/sdl/SdlContext.h"
#include "platform/sdl/WindowState.h"
#include "platform/sdl/WindowSystem.h"

namespace platform {
namespace {

Uint32 SdlFormat(FrameFormat f)
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

int BytesPerPixel(FrameFormat f)
{
    switch (f) {
    case FrameFormat::kRGB565:
    case FrameFormat::kXRGB1555: return 2;
    case FrameFormat::kBGR24:
    case FrameFormat::kRGB24: return 3;
    default: return 4;
    }
}

// The first byte of pixel (x, y) in pixels whose rows are `pitch` bytes apart.
template <typename Byte>
Byte* PixelAt(Byte* pixels, int pitch, int x, int y, int bpp)
{
    return pixels + static_cast<intptr_t>(pitch) * y + static_cast<intptr_t>(x) * bpp;
}

// The main window's surface when its pixels are in `format` and can be
// written as they are; null otherwise.
SDL_Surface* WindowSurfaceIn(FrameFormat format)
{
    SDL_Surface* surface = SDL_GetWindowSurface(sdl::MainWindow());
    if (surface == nullptr || surface->format->format != SdlFormat(format) || SDL_MUSTLOCK(surface)) {
        return nullptr;
    }
    return surface;
}

class SdlVideoOutput : public VideoOutput {
public:
    ~SdlVideoOutput() override
    {
        // The redraw hook refers to the texture: withdraw it first.
        sdl::SetLastFrameRedraw(nullptr);
        DestroyTexture();
    }

    bool SetMode(int width, int height, bool fullScreen) override
    {
        SDL_Window* window = sdl::MainWindow();
        if (window == nullptr || width <= 0 || height <= 0) {
            return false;
        }
        // The window's surface goes with its size: what only it holds is kept first.
        SyncTextureFromWindow();
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
        bool uploaded = false;
        if (renderer == nullptr || !TakeFrame(renderer, frame, &uploaded)) {
            return false;
        }
        const sdl::Viewport before = sdl::ClientViewport();
        UpdateViewport();
        const sdl::Viewport after = sdl::ClientViewport();
        const bool moved = offsetX != offsetX_ || offsetY != offsetY_ || before.x != after.x || before.y != after.y ||
                           before.w != after.w || before.h != after.h;
        // Both must be asked every frame: the overlay forgets its request when asked.
        const bool overlay = sdl::OverlayWantsRedraw();
        if (!uploaded && !moved && !overlay && registered_) {
            return true;  // the window already shows this frame
        }
        offsetX_ = offsetX;
        offsetY_ = offsetY;
        if (!moved && !overlay && registered_ && PresentChangedParts(renderer, frame)) {
            return true;
        }
        if (!UpdateTexture(frame)) {
            return false;
        }
        Draw(renderer);
        if (!registered_) {
            // Message boxes and dialogs keep this frame on screen while they run.
            sdl::SetLastFrameRedraw([this] {
                if (SDL_Renderer* r = sdl::MainRenderer()) Draw(r);
            });
            registered_ = true;
        }
        sdl::DrawOverlay();
        SDL_RenderPresent(renderer);
        return true;
    }

    bool ReadClientArea(std::vector<uint32_t>* pixels, int* width, int* height) override
    {
        SDL_Renderer* renderer = sdl::MainRenderer();
        if (renderer == nullptr || texture_ == nullptr || textureRenderer_ != renderer) {
            return false;
        }
        // A renderer that keeps the window's surface holds exactly what was
        // sent to the window, changed parts and all: read it as it is, so
        // that a part never sent shows. Others, and a surface the window
        // made anew at another size since the last whole draw (the frame
        // goes up at the next present), are drawn afresh first.
        if (!sdl::KeepsWindowSurface(renderer) || !WindowAsDrawn(renderer)) {
            Draw(renderer);
        }
        const sdl::Viewport v = sdl::ClientViewport();
        SDL_Rect area{v.x, v.y, v.w, v.h};
        std::vector<uint32_t> out(static_cast<size_t>(v.w) * v.h);
        if (SDL_RenderReadPixels(renderer, &area, SDL_PIXELFORMAT_RGB888, out.data(), v.w * 4) != 0) {
            return false;
        }
        for (uint32_t& p : out) p &= 0xFFFFFF;
        *pixels = std::move(out);
        *width = v.w;
        *height = v.h;
        return true;
    }

private:
    // A texture dies with its renderer: when the main window (and so its
    // renderer) went away first, only the pointer is dropped.
    void DestroyTexture()
    {
        if (texture_ != nullptr && textureRenderer_ == sdl::MainRenderer()) {
            SDL_DestroyTexture(texture_);
        }
        texture_ = nullptr;
        textureRenderer_ = nullptr;
        stale_ = {};
    }

    // Takes in where the frame changed (changed_, or all of it when the
    // texture is new), making the texture when needed; the pixels go up
    // later, to the texture or straight to the window. *uploaded: whether
    // anything changed.
    bool TakeFrame(SDL_Renderer* renderer, const Frame& frame, bool* uploaded)
    {
        const int bpp = BytesPerPixel(frame.format);
        if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0 || frame.pitch < frame.width * bpp) {
            return false;
        }
        if (textureRenderer_ != renderer) {
            DestroyTexture();
        }
        bool whole = frame.changedCount < 0;
        if (texture_ == nullptr || texWidth_ != frame.width || texHeight_ != frame.height || texFormat_ != frame.format) {
            DestroyTexture();
            texture_ = SDL_CreateTexture(renderer, SdlFormat(frame.format), SDL_TEXTUREACCESS_STREAMING, frame.width,
                                         frame.height);
            if (texture_ == nullptr) {
                std::fprintf(stderr, "lantern: cannot make the screen texture: %s\n", SDL_GetError());
                return false;
            }
            textureRenderer_ = renderer;
            texWidth_ = frame.width;
            texHeight_ = frame.height;
            texFormat_ = frame.format;
            whole = true;
        }
        if (clientWidth_ == 0) {
            clientWidth_ = frame.width;
            clientHeight_ = frame.height;
        }
        changed_.clear();
        changedWhole_ = whole;
        if (whole) {
            *uploaded = true;
            return true;
        }
        for (int i = 0; i < frame.changedCount; ++i) {
            const FrameRect& c = frame.changed[i];
            const int x = std::max(c.x, 0), y = std::max(c.y, 0);
            const int w = std::min(c.x + c.w, frame.width) - x, h = std::min(c.y + c.h, frame.height) - y;
            if (w <= 0 || h <= 0) {
                continue;
            }
            changed_.push_back({x, y, w, h});
            *uploaded = true;
        }
        return true;
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

    // Brings the texture up to the frame taken in: all of it, or what went
    // only to the window before and the changed rectangles.
    bool UpdateTexture(const Frame& frame)
    {
        if (changedWhole_) {
            stale_ = {};
            return SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitch) == 0;
        }
        const int bpp = BytesPerPixel(frame.format);
        const auto upload = [&](const SDL_Rect& r) {
            return SDL_UpdateTexture(texture_, &r, PixelAt(frame.pixels, frame.pitch, r.x, r.y, bpp), frame.pitch) == 0;
        };
        if (stale_.w > 0 && !upload(stale_)) {
            return false;
        }
        stale_ = {};
        return std::all_of(changed_.begin(), changed_.end(), upload);
    }

    // The texture misses parts that went straight to the window (stale_):
    // they are read back from the window's surface, which holds them as
    // long as it is the one they were copied into (same size) and nothing
    // drew over them since: the overlay and the modal loops draw only after
    // a whole draw, which comes here first. (What the renderer has queued
    // is not run first: it is drawing to come.) Otherwise they stay missing
    // until the next frame.
    void SyncTextureFromWindow()
    {
        SDL_Renderer* renderer = sdl::MainRenderer();
        if (stale_.w <= 0 || texture_ == nullptr || renderer == nullptr || textureRenderer_ != renderer) {
            return;
        }
        SDL_Surface* surface = WindowAsDrawn(renderer) ? WindowSurfaceIn(texFormat_) : nullptr;
        if (surface == nullptr) {
            return;
        }
        const uint8_t* first = PixelAt(static_cast<const uint8_t*>(surface->pixels), surface->pitch,
                                       stalePlace_.x + stale_.x, stalePlace_.y + stale_.y, BytesPerPixel(texFormat_));
        SDL_UpdateTexture(texture_, &stale_, first, surface->pitch);
        stale_ = {};
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

    // On a renderer that keeps the window's surface, with the picture
    // unscaled and unshifted, the window the size it had at the last whole
    // draw and the overlay on its strip only: copies the changed rectangles,
    // draws the strip afresh when the overlay looks different (the overlay
    // runs its frame as on every present) and sends only those to the
    // window; the rest of the window still holds the last frame. False when
    // the whole window must be drawn instead.
    bool PresentChangedParts(SDL_Renderer* renderer, const Frame& frame)
    {
        const sdl::Viewport v = sdl::ClientViewport();
        if (changedWhole_ || offsetX_ != 0 || offsetY_ != 0 || v.w != texWidth_ || v.h != texHeight_ ||
            clientWidth_ != texWidth_ || clientHeight_ != texHeight_ || !WindowAsDrawn(renderer) ||
            !sdl::OverlayKeepsToStrip() || !sdl::KeepsWindowSurface(renderer)) {
            return false;
        }
        SDL_RenderSetViewport(renderer, nullptr);
        SDL_RenderSetClipRect(renderer, nullptr);
        std::vector<SDL_Rect> onWindow;
        onWindow.reserve(changed_.size() + 1);
        for (const SDL_Rect& r : changed_) {
            onWindow.push_back({v.x + r.x, v.y + r.y, r.w, r.h});
        }
        if (CopyToWindowSurface(frame, onWindow)) {
            // The texture catches up when it is next drawn whole.
            for (const SDL_Rect& r : changed_) {
                SDL_UnionRect(&stale_, &r, &stale_);
            }
            stalePlace_ = {v.x, v.y};
        } else {
            if (!UpdateTexture(frame)) {
                return false;
            }
            for (size_t i = 0; i < changed_.size(); ++i) {
                SDL_RenderCopy(renderer, texture_, &changed_[i], &onWindow[i]);
            }
        }
        // The overlay's frame runs as on every present; its strip is drawn
        // afresh and sent only when it looks different.
        const SDL_Rect strip{0, 0, drawnWidth_, sdl::MainWindowState().stripHeight};
        const bool stripDrawn = sdl::DrawOverlayIfChanged([&] {
            SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
            SDL_RenderFillRect(renderer, &strip);
        });
        if (stripDrawn && strip.h > 0) {
            onWindow.push_back(strip);
        }
        SDL_RenderFlush(renderer);
        return onWindow.empty() ||
               SDL_UpdateWindowSurfaceRects(sdl::MainWindow(), onWindow.data(), static_cast<int>(onWindow.size())) == 0;
    }

    // The changed rectangles, changed_ in the frame and at places on the
    // window, copied row by row from the frame straight into the window's
    // surface when it has the frame's pixel format: the renderer's copy of
    // each small rectangle costs far more than its few pixels. False (and
    // nothing copied) when the formats differ.
    bool CopyToWindowSurface(const Frame& frame, const std::vector<SDL_Rect>& places)
    {
        SDL_Surface* surface = WindowSurfaceIn(frame.format);
        if (surface == nullptr) {
            return false;
        }
        // The renderer draws into the same surface: what it has queued goes first.
        SDL_RenderFlush(sdl::MainRenderer());
        const int bpp = BytesPerPixel(frame.format);
        uint8_t* const window = static_cast<uint8_t*>(surface->pixels);
        // The window's rows were last touched a frame ago: all are asked
        // for before the first is written. The frame's own rows are not:
        // asking for them as well only crowds these (measured dearer).
        for (size_t i = 0; i < changed_.size(); ++i) {
            PrefetchRows(PixelAt(window, surface->pitch, places[i].x, places[i].y, bpp), surface->pitch,
                         static_cast<size_t>(changed_[i].w) * bpp, changed_[i].h, PrefetchFor::kWrite);
        }
        for (size_t i = 0; i < changed_.size(); ++i) {
            const SDL_Rect& r = changed_[i];
            const SDL_Rect& at = places[i];
            const size_t bytes = static_cast<size_t>(r.w) * bpp;
            const uint8_t* from = PixelAt(frame.pixels, frame.pitch, r.x, r.y, bpp);
            uint8_t* to = PixelAt(window, surface->pitch, at.x, at.y, bpp);
            for (int y = 0; y < r.h; ++y) {
                std::memcpy(to, from, bytes);
                from += frame.pitch;
                to += surface->pitch;
            }
        }
        return true;
    }

    // Whether the window is the size it had at the last whole draw.
    bool WindowAsDrawn(SDL_Renderer* renderer) const
    {
        int ww = 0, wh = 0;
        SDL_GetRendererOutputSize(renderer, &ww, &wh);
        return ww == drawnWidth_ && wh == drawnHeight_;
    }

    void Draw(SDL_Renderer* renderer)
    {
        SyncTextureFromWindow();
        SDL_GetRendererOutputSize(renderer, &drawnWidth_, &drawnHeight_);
        // The whole output: a renderer can miss the resize of a full-screen
        // switch (no window manager to report it) and keep the old viewport.
        SDL_RenderSetViewport(renderer, nullptr);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderSetClipRect(renderer, nullptr);
        SDL_RenderClear(renderer);
        sdl::OverlayCleared();
        if (texture_ == nullptr || textureRenderer_ != renderer) {
            return;
        }
        const sdl::Viewport v = sdl::ClientViewport();
        SDL_Rect clip{v.x, v.y, v.w, v.h};
        // The shifted picture stays inside the client area (a quake must not
        // draw over the menu strip).
        SDL_RenderSetClipRect(renderer, &clip);
        const int cw = clientWidth_ > 0 ? clientWidth_ : texWidth_;
        const int ch = clientHeight_ > 0 ? clientHeight_ : texHeight_;
        SDL_Rect dst{v.x + static_cast<int>(static_cast<int64_t>(offsetX_) * v.w / cw),
                     v.y + static_cast<int>(static_cast<int64_t>(offsetY_) * v.h / ch),
                     static_cast<int>(static_cast<int64_t>(texWidth_) * v.w / cw),
                     static_cast<int>(static_cast<int64_t>(texHeight_) * v.h / ch)};
        SDL_RenderCopy(renderer, texture_, nullptr, &dst);
        SDL_RenderSetClipRect(renderer, nullptr);
    }

    SDL_Texture* texture_ = nullptr;
    SDL_Renderer* textureRenderer_ = nullptr;
    int texWidth_ = 0, texHeight_ = 0;
    FrameFormat texFormat_ = FrameFormat::kXRGB8888;
    int clientWidth_ = 0, clientHeight_ = 0;
    int offsetX_ = 0, offsetY_ = 0;
    // Where the frame TakeFrame took in changed: all of it, or these rectangles.
    bool changedWhole_ = true;
    std::vector<SDL_Rect> changed_;
    // The window's size at the last whole draw.
    int drawnWidth_ = 0, drawnHeight_ = 0;
    // What went straight to the window and not yet to the texture (empty:
    // nothing), and where the client area's corner was on the window then.
    SDL_Rect stale_{};
    SDL_Point stalePlace_{};
    bool fullScreen_ = false;
    bool registered_ = false;
};

}  // namespace

std::unique_ptr<VideoOutput> CreateVideoOutput() { return std::make_unique<SdlVideoOutput>(); }

}  // namespace platform
