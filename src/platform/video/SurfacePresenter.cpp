// The presenter for SDL's software renderer, which draws into the window's
// own surface: that surface is the only copy of the frame on the window.
//
// The rule it keeps: the surface holds the frame as placed (black around
// it), except where the overlay drew last; what lay there is kept aside
// (KeepUnderOverlay, just before the overlay draws) and put back before the
// overlay draws anew or goes (PutBackUnderOverlay). So a frame sends only
// its changed parts, and the places the overlay left or drew on: a box,
// menu or dialog that closes leaves nothing behind, though the frame under
// it never changed.
#include <cstring>

#include "frame/Prefetch.h"
#include "platform/sdl/Overlay.h"
#include "platform/sdl/SdlContext.h"
#include "platform/video/WindowPresenter.h"

namespace platform {
namespace {

SDL_Rect ToSdl(const sdl::WindowRect& r) { return {r.x, r.y, r.w, r.h}; }

class SurfacePresenter final : public WindowPresenter {
public:
    SurfacePresenter(SDL_Renderer* renderer, uint32_t windowSerial) : renderer_(renderer), serial_(windowSerial)
    {
        sdl::SetLastFrameRedraw([this] {
            if (Current()) PutBackUnderOverlay(nullptr);
        });
        sdl::SetOverlayUnderKeeper([this](const std::vector<sdl::WindowRect>& places) {
            if (Current()) KeepUnderOverlay(places);
        });
    }

    ~SurfacePresenter() override
    {
        sdl::SetLastFrameRedraw(nullptr);
        sdl::SetOverlayUnderKeeper(nullptr);
    }

    bool Present(const Frame& frame, const std::vector<SDL_Rect>& changed, bool whole,
                 const FramePlacement& placement) override
    {
        SDL_Surface* surface = Current() ? SDL_GetWindowSurface(sdl::MainWindow()) : nullptr;
        if (surface == nullptr || SDL_MUSTLOCK(surface)) {
            return false;
        }
        // Whatever the renderer still has queued lands before we write beside it.
        SDL_RenderFlush(renderer_);
        placement_ = placement;
        // A surface made anew (the window's size changed) holds nothing yet.
        if (whole || !Holds(surface) || (!changed.empty() && !placement.OneToOne(frame.width, frame.height))) {
            return PresentWhole(surface, frame);
        }
        return PresentParts(surface, frame, changed);
    }

    bool ReadClientArea(std::vector<uint32_t>* pixels, int* width, int* height) override
    {
        if (!Current() || surface_ == nullptr) {
            return false;
        }
        // The surface is what was sent to the window: read it as it is.
        return ReadRenderer(renderer_, placement_.viewport, pixels, width, height);
    }

private:
    // What lay under one place of the overlay, rows packed.
    struct Kept {
        SDL_Rect place;
        std::vector<uint8_t> pixels;
    };

    bool Current() const { return sdl::MainWindowSerial() == serial_ && sdl::MainRenderer() == renderer_; }

    // Whether any of the window places lies under the overlay's last drawing.
    bool UnderOverlay(const std::vector<SDL_Rect>& places) const
    {
        for (const Kept& k : kept_) {
            for (const SDL_Rect& r : places) {
                if (SDL_HasIntersection(&k.place, &r)) {
                    return true;
                }
            }
        }
        return false;
    }

    bool Holds(const SDL_Surface* surface) const
    {
        return surface_ == surface && surface->w == surfaceWidth_ && surface->h == surfaceHeight_;
    }

    // Black, the frame, the overlay over it: the whole window, sent whole.
    bool PresentWhole(SDL_Surface* surface, const Frame& frame)
    {
        kept_.clear();
        surface_ = surface;
        surfaceWidth_ = surface->w;
        surfaceHeight_ = surface->h;
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        const sdl::Viewport v = placement_.viewport;
        if (placement_.OneToOne(frame.width, frame.height)) {
            CopyParts(surface, frame, {{0, 0, frame.width, frame.height}});
        } else {
            const SDL_Rect clip{v.x, v.y, v.w, v.h};
            const SDL_Rect at = placement_.FrameOnWindow(frame.width, frame.height);
            BlitFrame(surface, frame, nullptr, at, &clip);
        }
        // The overlay draws over all of it, keeping what it covers.
        sdl::OverlayCleared();
        sdl::DrawOverlay();
        SDL_RenderFlush(renderer_);
        return SDL_UpdateWindowSurface(sdl::MainWindow()) == 0;
    }

    // The changed parts of a frame placed one for one, and the overlay again
    // where it looks different or stands over a changed part: only those
    // places go to the window.
    bool PresentParts(SDL_Surface* surface, const Frame& frame, const std::vector<SDL_Rect>& changed)
    {
        const sdl::Viewport v = placement_.viewport;
        std::vector<SDL_Rect> send;
        send.reserve(changed.size() + 2 * kept_.size() + 2);
        for (const SDL_Rect& r : changed) {
            send.push_back({v.x + r.x, v.y + r.y, r.w, r.h});
        }
        // A changed part under the overlay puts the overlay back over it.
        if (UnderOverlay(send)) {
            sdl::OverlayCleared();
        }
        bool copied = false;
        const auto underOverlay = [&] {
            PutBackUnderOverlay(&send);
            CopyParts(surface, frame, changed);
            copied = true;
        };
        if (sdl::DrawOverlayIfChanged(underOverlay)) {
            for (const Kept& k : kept_) {
                send.push_back(k.place);
            }
        }
        if (!copied) {
            CopyParts(surface, frame, changed);
        }
        SDL_RenderFlush(renderer_);
        return send.empty() ||
               SDL_UpdateWindowSurfaceRects(sdl::MainWindow(), send.data(), static_cast<int>(send.size())) == 0;
    }

    // Frame rectangles copied to their places on the window, row by row
    // where the surface has the frame's pixel format (the renderer's copy
    // of each small rectangle costs far more than its few pixels), through
    // SDL's converting blit otherwise.
    void CopyParts(SDL_Surface* surface, const Frame& frame, const std::vector<SDL_Rect>& parts)
    {
        const sdl::Viewport v = placement_.viewport;
        if (surface->format->format != SdlFormatOf(frame.format)) {
            for (const SDL_Rect& r : parts) {
                BlitFrame(surface, frame, &r, {v.x + r.x, v.y + r.y, r.w, r.h}, nullptr);
            }
            return;
        }
        const int bpp = BytesPerPixelOf(frame.format);
        uint8_t* const window = static_cast<uint8_t*>(surface->pixels);
        // The window's rows were last touched a frame ago: all are asked
        // for before the first is written. The frame's own rows are not:
        // asking for them as well only crowds these (measured dearer).
        for (const SDL_Rect& r : parts) {
            PrefetchRows(PixelAt(window, surface->pitch, v.x + r.x, v.y + r.y, bpp), surface->pitch,
                         static_cast<size_t>(r.w) * bpp, r.h, PrefetchFor::kWrite);
        }
        for (const SDL_Rect& r : parts) {
            const size_t bytes = static_cast<size_t>(r.w) * bpp;
            const uint8_t* from = PixelAt(frame.pixels, frame.pitch, r.x, r.y, bpp);
            uint8_t* to = PixelAt(window, surface->pitch, v.x + r.x, v.y + r.y, bpp);
            for (int y = 0; y < r.h; ++y) {
                std::memcpy(to, from, bytes);
                from += frame.pitch;
                to += surface->pitch;
            }
        }
    }

    // The frame (or its part `from`) blitted to `at` on the window, scaled
    // when the sizes differ, converted to the window's pixel format, cut to
    // `clip` (null: the window).
    static void BlitFrame(SDL_Surface* surface, const Frame& frame, const SDL_Rect* from, SDL_Rect at,
                          const SDL_Rect* clip)
    {
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint8_t*>(frame.pixels), frame.width, frame.height, BytesPerPixelOf(frame.format) * 8,
            frame.pitch, SdlFormatOf(frame.format));
        if (source == nullptr) {
            return;
        }
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        SDL_SetClipRect(surface, clip);
        const int w = from != nullptr ? from->w : frame.width;
        const int h = from != nullptr ? from->h : frame.height;
        if (at.w == w && at.h == h) {
            SDL_BlitSurface(source, from, surface, &at);
        } else {
            SDL_BlitScaled(source, from, surface, &at);
        }
        SDL_SetClipRect(surface, nullptr);
        SDL_FreeSurface(source);
    }

    // Keeps what lies at the places the overlay is about to draw on (its
    // last drawing is put back first, so only the frame is ever kept).
    void KeepUnderOverlay(const std::vector<sdl::WindowRect>& places)
    {
        SDL_RenderFlush(renderer_);
        PutBackUnderOverlay(nullptr);
        SDL_Surface* surface = SDL_GetWindowSurface(sdl::MainWindow());
        if (surface == nullptr || !Holds(surface)) {
            return;  // it holds no frame yet: the next present draws it whole
        }
        const int bpp = surface->format->BytesPerPixel;
        for (const sdl::WindowRect& place : places) {
            SDL_Rect r = ToSdl(place);
            const SDL_Rect all{0, 0, surface->w, surface->h};
            if (!SDL_IntersectRect(&r, &all, &r)) {
                continue;
            }
            Kept& k = kept_.emplace_back();
            k.place = r;
            const size_t bytes = static_cast<size_t>(r.w) * bpp;
            k.pixels.resize(bytes * r.h);
            const uint8_t* from = PixelAt(static_cast<const uint8_t*>(surface->pixels), surface->pitch, r.x, r.y, bpp);
            for (int y = 0; y < r.h; ++y) {
                std::memcpy(k.pixels.data() + bytes * y, from + static_cast<intptr_t>(surface->pitch) * y, bytes);
            }
        }
    }

    // Puts back what lay under the overlay's last drawing, so the surface
    // holds the frame alone; the places go to *restored. A surface made anew
    // since holds no frame: it is made black, and the next present draws
    // the frame whole.
    void PutBackUnderOverlay(std::vector<SDL_Rect>* restored)
    {
        SDL_RenderFlush(renderer_);
        SDL_Surface* surface = SDL_GetWindowSurface(sdl::MainWindow());
        if (surface == nullptr) {
            kept_.clear();
            return;
        }
        if (!Holds(surface)) {
            SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
            kept_.clear();
            surface_ = nullptr;
            return;
        }
        const int bpp = surface->format->BytesPerPixel;
        // Places may overlap; each kept the frame, so any order restores it.
        for (const Kept& k : kept_) {
            const size_t bytes = static_cast<size_t>(k.place.w) * bpp;
            uint8_t* to = PixelAt(static_cast<uint8_t*>(surface->pixels), surface->pitch, k.place.x, k.place.y, bpp);
            for (int y = 0; y < k.place.h; ++y) {
                std::memcpy(to + static_cast<intptr_t>(surface->pitch) * y, k.pixels.data() + bytes * y, bytes);
            }
            if (restored != nullptr) {
                restored->push_back(k.place);
            }
        }
        kept_.clear();
    }

    SDL_Renderer* const renderer_;
    const uint32_t serial_;
    // The window surface that holds the frame, at the size it had then
    // (null: none does).
    SDL_Surface* surface_ = nullptr;
    int surfaceWidth_ = 0, surfaceHeight_ = 0;
    FramePlacement placement_;
    std::vector<Kept> kept_;
};

}  // namespace

std::unique_ptr<WindowPresenter> CreateSurfacePresenter(SDL_Renderer* renderer, uint32_t windowSerial)
{
    return std::make_unique<SurfacePresenter>(renderer, windowSerial);
}

}  // namespace platform
