// CFastDraw: modes, the back buffer and presenting.
#include "display/FastDraw.h"

#include "display/BlendTables.h"
#include "display/OverlayHook.h"
#include "platform/Video.h"

namespace {

int FormatForDepth(int depth)
{
    switch (depth) {
    case 16: return pixfmt::k565;
    case 24: return pixfmt::kBGR24;
    default: return pixfmt::kBGRX32;
    }
}

platform::FrameFormat FrameFormatOf(int format)
{
    switch (format) {
    case pixfmt::k565: return platform::FrameFormat::kRGB565;
    case pixfmt::k555: return platform::FrameFormat::kXRGB1555;
    case pixfmt::kBGR24: return platform::FrameFormat::kBGR24;
    case pixfmt::kRGB24: return platform::FrameFormat::kRGB24;
    case pixfmt::kRGBX32: return platform::FrameFormat::kXBGR8888;
    default: return platform::FrameFormat::kXRGB8888;
    }
}

}  // namespace

CFastDraw::CFastDraw() : output_(platform::CreateVideoOutput())
{
    BuildBlendTables();
}

CFastDraw::~CFastDraw() = default;

int CFastDraw::SetDisplayMode(int width, int height, int depth)
{
    width_ = width;
    height_ = height;
    depth_ = depth == 0 ? 16 : depth;
    BeginChangeDisplay();
    TestDisplayMode(width_, height_, fullScreen_, depth_);
    EndChangeDisplay();
    return back_ ? 0 : 1;
}

void CFastDraw::BeginChangeDisplay() { pending_ = true; }

int CFastDraw::TestDisplayMode(int width, int height, bool fullScreen, int depth)
{
    if (!pending_) {
        return 0;
    }
    if (width <= 0 || height <= 0) {
        return 1;
    }
    // Full screen keeps the chosen depth on the desktop; a window shows the
    // desktop's own depth, as a windowed screen always did.
    if (fullScreen && depth != 16 && depth != 24 && depth != 32) {
        return 1;
    }
    const int bits = fullScreen ? depth : output_->DesktopBitsPerPixel();
    // A headless run has no window to switch; the back buffer is the display.
    // Without a window (a headless run) there is nothing to switch, but the
    // back buffer still takes the mode, so every mode can be tested.
    if (!output_->SetMode(width, height, fullScreen) && output_->HasWindow()) {
        return 1;
    }
    if (!MakeBackBuffer(width, height, FormatForDepth(bits))) {
        return 1;
    }
    width_ = width;
    height_ = height;
    depth_ = depth;
    fullScreen_ = fullScreen;
    pending_ = false;
    return 0;
}

void CFastDraw::EndChangeDisplay()
{
    if (pending_ || !back_) {
        pending_ = true;
        TestDisplayMode(width_, height_, false, depth_);
    }
    pending_ = false;
}

bool CFastDraw::MakeBackBuffer(int width, int height, int format)
{
    const int oldFormat = back_ ? back_->GetPixelFormat() : pixfmt::kNone;
    int oldW = 0, oldH = 0;
    if (back_) {
        back_->GetSize(&oldW, &oldH);
    }
    if (back_ && oldFormat == format && oldW == width && oldH == height) {
        return true;
    }
    auto plane = std::make_unique<CFastPlane>();
    if (plane->CreateScreenSurface(width, height, format) != 0) {
        return false;
    }
    if (back_) {
        plane->Blt(back_.get(), 0, 0);  // the picture survives the change
    }
    back_ = std::move(plane);
    CFastPlane::SetDefaultFormat(format);
    if (oldFormat != pixfmt::kNone) {
        CFastPlane::ConvertScreenPlanes(oldFormat, format);
    }
    return true;
}

void CFastDraw::SetScreenOffset(int x, int y)
{
    offsetX_ = x;
    offsetY_ = y;
}

int CFastDraw::Present(int, int)
{
    const bool promised = promised_;
    promised_ = false;
    if (!back_) {
        return 1;
    }
    const std::vector<COverlayHook*> hooks = COverlayHook::Registered();
    for (COverlayHook* hook : hooks) {
        hook->DrawToPlane(this);
    }
    if (fadeLevel_ != 256) {
        back_->FadeEffect(fadeLevel_);
    }
    ++presents_;
    hooksDrew_ = !hooks.empty();
    fadeShown_ = fadeLevel_;
    // Hooks and the fade draw over the whole frame, past any promise.
    const bool onlyPromised = promised && hooks.empty() && fadeLevel_ == 256;
    return Show(onlyPromised ? &drawnOnlyIn_ : nullptr, onlyPromised && uncompared_);
}

int CFastDraw::PresentMended(const std::vector<Rect>& changedIn)
{
    if (!back_) {
        return 1;
    }
    ++presents_;
    hooksDrew_ = false;
    fadeShown_ = 256;
    return Show(&changedIn, false);
}

int CFastDraw::Show(const std::vector<Rect>* within, bool uncompared)
{
    if (!output_->HasWindow()) {
        return 1;  // nothing to show it in, and nothing to compare with
    }
    const SurfaceView view = back_->GetSurfaceView();
    int w = 0, h = 0;
    back_->GetSize(&w, &h);
    const int format = back_->GetPixelFormat();
    const std::vector<Rect> changes =
        uncompared && within != nullptr
            ? presented_.TakeUncompared(*within, w, h, pixfmt::BytesPerPixel(format))
            : presented_.TakeChanges(view.pixels, view.pitch, w, h, pixfmt::BytesPerPixel(format), within);
    std::vector<platform::FrameRect> rects;
    rects.reserve(changes.size());
    for (const Rect& r : changes) {
        rects.push_back({r.left, r.top, r.Width(), r.Height()});
    }
    platform::Frame frame{view.pixels, view.pitch, w, h, FrameFormatOf(format), rects.data(),
                          static_cast<int>(rects.size())};
    if (!output_->Present(frame, offsetX_, offsetY_)) {
        presented_.Forget();  // nothing went up: the next frame is new everywhere
        return 1;
    }
    return 0;
}

int CFastDraw::GetScreenBitsPerPixel() const
{
    if (!back_) {
        return 0;
    }
    return pixfmt::BytesPerPixel(back_->GetPixelFormat()) == 2 ? 16 : pixfmt::BytesPerPixel(back_->GetPixelFormat()) * 8;
}
