// The presenter for renderers that draw somewhere else than the window's own
// surface (GL): the frame lives in one streaming texture of its own pixel
// format, and every present draws the whole window (black, the frame, the
// overlay) and presents it, so the window never holds anything older.
#include <cstdio>

#include "platform/sdl/Overlay.h"
#include "platform/sdl/SdlContext.h"
#include "platform/video/WindowPresenter.h"

namespace platform {
namespace {

class TexturePresenter final : public WindowPresenter {
public:
    TexturePresenter(SDL_Renderer* renderer, uint32_t windowSerial) : renderer_(renderer), serial_(windowSerial)
    {
        // Message boxes and dialogs draw this frame under them while they run.
        sdl::SetLastFrameRedraw([this] {
            if (Current()) Draw();
        });
    }

    ~TexturePresenter() override
    {
        sdl::SetLastFrameRedraw(nullptr);
        // A texture dies with its renderer: with the window gone, SDL freed it.
        if (texture_ != nullptr && Current()) {
            SDL_DestroyTexture(texture_);
        }
    }

    bool Present(const Frame& frame, const std::vector<SDL_Rect>& changed, bool whole,
                 const FramePlacement& placement) override
    {
        if (!Current() || !TakeFrame(frame, changed, whole)) {
            return false;
        }
        placement_ = placement;
        Draw();
        sdl::DrawOverlay();
        SDL_RenderPresent(renderer_);
        return true;
    }

    bool ReadClientArea(std::vector<uint32_t>* pixels, int* width, int* height) override
    {
        if (texture_ == nullptr || !Current()) {
            return false;
        }
        // What a GL window holds after a present is undefined: draw it again.
        Draw();
        return ReadRenderer(renderer_, placement_.viewport, pixels, width, height);
    }

private:
    // Whether this presenter's window is still the main window.
    bool Current() const { return sdl::MainWindowSerial() == serial_ && sdl::MainRenderer() == renderer_; }

    // Brings the texture up to the frame: all of it, or the changed parts.
    bool TakeFrame(const Frame& frame, const std::vector<SDL_Rect>& changed, bool whole)
    {
        if (texture_ == nullptr || width_ != frame.width || height_ != frame.height || format_ != frame.format) {
            if (texture_ != nullptr) {
                SDL_DestroyTexture(texture_);
            }
            texture_ = SDL_CreateTexture(renderer_, SdlFormatOf(frame.format), SDL_TEXTUREACCESS_STREAMING,
                                         frame.width, frame.height);
            if (texture_ == nullptr) {
                std::fprintf(stderr, "lantern: cannot make the screen texture: %s\n", SDL_GetError());
                return false;
            }
            width_ = frame.width;
            height_ = frame.height;
            format_ = frame.format;
            whole = true;
        }
        if (whole) {
            return SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitch) == 0;
        }
        const int bpp = BytesPerPixelOf(frame.format);
        for (const SDL_Rect& r : changed) {
            if (SDL_UpdateTexture(texture_, &r, PixelAt(frame.pixels, frame.pitch, r.x, r.y, bpp), frame.pitch) != 0) {
                return false;
            }
        }
        return true;
    }

    // The whole window but the overlay: black, and the frame in the client
    // area, shifted and scaled as placed.
    void Draw()
    {
        // The whole output: a renderer can miss the resize of a full-screen
        // switch (no window manager to report it) and keep the old viewport.
        SDL_RenderSetViewport(renderer_, nullptr);
        SDL_RenderSetClipRect(renderer_, nullptr);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        sdl::OverlayCleared();
        if (texture_ == nullptr) {
            return;
        }
        const sdl::Viewport v = placement_.viewport;
        // The shifted picture stays inside the client area (a quake must not
        // draw over the menu strip).
        const SDL_Rect clip{v.x, v.y, v.w, v.h};
        SDL_RenderSetClipRect(renderer_, &clip);
        const SDL_Rect dst = placement_.FrameOnWindow(width_, height_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
        SDL_RenderSetClipRect(renderer_, nullptr);
    }

    SDL_Renderer* const renderer_;
    const uint32_t serial_;
    SDL_Texture* texture_ = nullptr;
    int width_ = 0, height_ = 0;
    FrameFormat format_ = FrameFormat::kXRGB8888;
    FramePlacement placement_;
};

}  // namespace

std::unique_ptr<WindowPresenter> CreateTexturePresenter(SDL_Renderer* renderer, uint32_t windowSerial)
{
    return std::make_unique<TexturePresenter>(renderer, windowSerial);
}

}  // namespace platform
