// CFastPlane: surface, locking, colour keys, pixels and the plane interface's
// forwarding. The copies are in FastPlaneBlt.cpp, the raster operations in
// src/raster/.
#include "display/FastPlane.h"

#include <algorithm>
#include <atomic>
#include <vector>
#include <cstring>

#include "display/BlendTables.h"
#include "display/BltWalk.h"
#include "display/PlaneLock.h"

namespace {

std::atomic<int> gDefaultFormat{pixfmt::kBGRX32};

// Largest side of a plane. Keeps pitch * height far below the address space
// and every coordinate sum of the walks inside 32 bits.
constexpr int kMaxSide = 16384;

// The key never carries an alpha: the 16-bit colour word (10 and 11 too),
// the index of an 8-bit plane, or three colour bytes and a zero fourth byte.
uint32_t NativeKeyBits(int format, uint32_t raw)
{
    const int bytes = pixfmt::BytesPerPixel(format);
    if (bytes == 1) return raw & 0xFF;
    if (bytes == 2 || format == pixfmt::k565A4 || format == pixfmt::k555A4) return raw & 0xFFFF;
    return raw & 0xFFFFFF;
}

CFastPlane* AsFast(CPlaneBase* plane)
{
    return plane != nullptr && plane->IsDisplayPlane() ? static_cast<CFastPlane*>(plane) : nullptr;
}

// Result for a plane-interface call whose source is not a display plane.
int NotFast(CPlaneBase* src) { return src == nullptr ? kPlaneNotLocked : kPlaneFormatPair; }

}  // namespace

namespace {

// Every plane, for the conversion after a screen-mode change. Planes belong
// to the drawing thread.
std::vector<CFastPlane*>& AllPlanes()
{
    static std::vector<CFastPlane*> planes;
    return planes;
}

}  // namespace

CFastPlane::CFastPlane()
{
    displayPlane_ = true;
    AllPlanes().push_back(this);
}

CFastPlane::~CFastPlane()
{
    auto& planes = AllPlanes();
    planes.erase(std::find(planes.begin(), planes.end(), this));
}

void CFastPlane::ConvertScreenPlanes(int oldScreenFormat, int newScreenFormat)
{
    if (oldScreenFormat == newScreenFormat) {
        return;
    }
    const int oldAlpha = pixfmt::AlphaFormatOf(oldScreenFormat);
    const int newAlpha = pixfmt::AlphaFormatOf(newScreenFormat);
    for (CFastPlane* plane : std::vector<CFastPlane*>(AllPlanes())) {
        if (plane->format_ == oldScreenFormat) {
            plane->ConvertFormat(newScreenFormat);
        } else if (plane->format_ == oldAlpha && oldAlpha != pixfmt::kNone && newAlpha != pixfmt::kNone) {
            plane->ConvertFormat(newAlpha);
        }
    }
}

void CFastPlane::SetDefaultFormat(int pixelFormat) { gDefaultFormat = pixelFormat; }
int CFastPlane::DefaultFormat() { return gDefaultFormat; }

int CFastPlane::CreateSurface(int width, int height, int pixelFormat)
{
    return AllocateSurface(width, height, pixelFormat, true);
}

int CFastPlane::CreateScreenSurface(int width, int height, int pixelFormat)
{
    return AllocateSurface(width, height, pixelFormat, true, true);
}

int CFastPlane::AllocateSurface(int width, int height, int pixelFormat, bool cleared, bool screen)
{
    Release();
    const int bytes = pixfmt::BytesPerPixel(pixelFormat);
    if (bytes == 0 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return 1;
    }
    // Rows start on 4-byte boundaries, as the screen's surfaces do.
    const int32_t pitch = (width * bytes + 3) & ~3;
    const size_t size = static_cast<size_t>(pitch) * static_cast<size_t>(height);
    PixelMemory storage = screen ? AllocateHugePageMemory(size) : AllocatePixelMemory(size);
    if (storage == nullptr) {
        return 1;
    }
    uint8_t* mem = storage.get();
    if (cleared) {
        std::memset(mem, 0, size);
    }
    const int rowBytes = width * bytes;
    if (!cleared && pitch > rowBytes) {
        for (int y = 0; y < height; ++y) {
            std::memset(mem + static_cast<size_t>(y) * pitch + rowBytes, 0, static_cast<size_t>(pitch - rowBytes));
        }
    }
    AdoptSurface(std::move(storage), mem, pitch, width, height, pixelFormat);
    return 0;
}

void CFastPlane::AdoptSurface(PixelMemory storage, uint8_t* pixels, int32_t pitch, int width,
                              int height, int pixelFormat)
{
    Release();
    // The raster operations read the blend tables; make sure they exist even
    // before the display manager has started.
    BuildBlendTables();
    storage_ = std::move(storage);
    pixels_ = pixels;
    pitch_ = pitch;
    format_ = pixelFormat;
    width_ = width;
    height_ = height;
    planeRect_ = {0, 0, width, height};
    colorKey_ = 0;
    hasAlpha_ = pixfmt::IsAlphaFormat(pixelFormat);
    inSystemMemory_ = true;
    bitsRecorded_ = true;
}

int CFastPlane::Create(int width, int height, int)
{
    return CreateSurface(width, height, DefaultFormat());
}

int CFastPlane::CopyFrom(const CFastPlane& other)
{
    if (other.pixels_ == nullptr || CreateSurface(other.width_, other.height_, other.format_) != 0) {
        return 1;
    }
    for (int y = 0; y < height_; ++y) {
        std::memcpy(pixels_ + static_cast<intptr_t>(y) * pitch_, other.pixels_ + static_cast<intptr_t>(y) * other.pitch_,
                    static_cast<size_t>(width_) * pixfmt::BytesPerPixel(format_));
    }
    planeRect_ = other.planeRect_;
    colorKey_ = other.colorKey_;
    hasAlpha_ = other.hasAlpha_;
    lockFlag_ = other.lockFlag_;
    return 0;
}

void CFastPlane::Release()
{
    storage_.reset();
    pixels_ = nullptr;
    pitch_ = 0;
    format_ = pixfmt::kNone;
    width_ = height_ = 0;
    planeRect_ = {};
    hasAlpha_ = false;
    inSystemMemory_ = bitsRecorded_ = false;
    locked_ = 0;
}

PlaneBits CFastPlane::GetPlaneBits() const
{
    PlaneBits bits;
    bits.present = pixels_ != nullptr ? 1 : 0;
    bits.pixels = pixels_;
    bits.pitch = pitch_;
    bits.rect = planeRect_;
    return bits;
}

void CFastPlane::Prefetch(const Rect& r, PrefetchFor use) const
{
    const Rect area = r.ClippedTo(planeRect_);
    if (pixels_ == nullptr || area.IsEmpty()) {
        return;
    }
    const int bytes = pixfmt::BytesPerPixel(format_);
    const uint8_t* first = pixels_ + static_cast<intptr_t>(area.top) * pitch_ + static_cast<intptr_t>(area.left) * bytes;
    const size_t rowBytes = static_cast<size_t>(area.Width()) * static_cast<size_t>(bytes);
    PrefetchRows(first, pitch_, rowBytes, area.Height(), use);
}

void CFastPlane::GetSize(int* width, int* height)
{
    *width = width_;
    *height = height_;
}

uint32_t CFastPlane::GetColorKey() { return colorKey_; }

void CFastPlane::SetColorKey(uint32_t rgb) { colorKey_ = ColorToNative(rgb); }

int CFastPlane::SetColorKeyRGB(int r, int g, int b)
{
    SetColorKey(((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu));
    return 0;
}

uint32_t CFastPlane::ColorToNative(uint32_t rgb) const
{
    const pixfmt::Rgb c{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
    uint32_t native = 0;
    pixfmt::VisitFormat(format_, [&](auto fmt) { native = decltype(fmt)::FromRgb(c); });
    return NativeKeyBits(format_, native);
}

int CFastPlane::SetColorKeyByPos(int x, int y)
{
    if (pixels_ == nullptr || x < planeRect_.left || y < planeRect_.top || x >= planeRect_.right ||
        y >= planeRect_.bottom) {
        return 1;
    }
    const int bytes = pixfmt::BytesPerPixel(format_);
    const uint8_t* p = pixels_ + static_cast<intptr_t>(y) * pitch_ + static_cast<intptr_t>(x) * bytes;
    uint32_t raw = 0;
    pixfmt::VisitFormat(format_, [&](auto fmt) { raw = decltype(fmt)::Load(p); });
    colorKey_ = NativeKeyBits(format_, raw);
    return 0;
}

uint32_t CFastPlane::GetPixel(int x, int y)
{
    if (Lock() != 0) {
        return 0;
    }
    uint32_t result = 0;
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        const uint8_t* p = pixels_ + static_cast<intptr_t>(y) * pitch_ +
                           static_cast<intptr_t>(x) * pixfmt::BytesPerPixel(format_);
        pixfmt::VisitFormat(format_, [&](auto fmt) {
            using F = decltype(fmt);
            pixfmt::Rgb c = F::ToRgb(F::Load(p));
            result = c.r | (c.g << 8) | (uint32_t(c.b) << 16);
        });
    }
    Unlock();
    return result;
}

int CFastPlane::GetAlphaAt(int x, int y)
{
    if (pixels_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    const uint8_t* p = pixels_ + static_cast<intptr_t>(y) * pitch_ +
                       static_cast<intptr_t>(x) * pixfmt::BytesPerPixel(format_);
    switch (format_) {
    case pixfmt::k565A4:
    case pixfmt::k555A4: return (p[2] & 15) * 17;
    case pixfmt::kBGRA32:
    case pixfmt::kRGBA32: return p[3];
    default: return 255;
    }
}

int CFastPlane::Clear(const Rect* rect)
{
    return WithLockedPlane(this, [&] {
        const int bytes = pixfmt::BytesPerPixel(format_);
        SurfaceView view = GetSurfaceView();
        Rect r;
        IntersectClipRect(view, &r, rect);
        if (r.right > r.left && r.bottom > r.top) {
            for (int y = r.top; y < r.bottom; ++y) {
                std::memset(view.pixels + static_cast<intptr_t>(y) * view.pitch + static_cast<intptr_t>(r.left) * bytes,
                            0, static_cast<size_t>(r.right - r.left) * bytes);
            }
        }
        return 0;
    });
}

int CFastPlane::Clear(uint32_t rgb, const Rect* rect)
{
    return WithLockedPlane(this, [&] {
        const pixfmt::Rgb c{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
        pixfmt::VisitFormat(format_, [&](auto fmt) {
            using F = decltype(fmt);
            const uint32_t value = F::FromRgb(c);
            WalkRect<F::kBytes>(GetSurfaceView(), rect, [&](uint8_t* p, int, int count) {
                for (int i = 0; i < count; ++i, p += F::kBytes) {
                    F::Store(p, value);
                }
            });
        });
        return 0;
    });
}

// ---- plane interface forwarding --------------------------------------------

int CFastPlane::Blt(CPlaneBase* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    CFastPlane* f = AsFast(src);
    return f != nullptr ? Blt(f, x, y, srcRect, dstSize, clip) : NotFast(src);
}

int CFastPlane::BltColorKey(CPlaneBase* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                            const Rect* clip)
{
    CFastPlane* f = AsFast(src);
    return f != nullptr ? BltColorKey(f, x, y, srcRect, dstSize, clip) : NotFast(src);
}

int CFastPlane::BlendBltColorKey(CPlaneBase* src, int x, int y, int level, const Rect* srcRect,
                                 const Size* dstSize, const Rect* clip)
{
    CFastPlane* f = AsFast(src);
    return f != nullptr ? BlendBlt(f, x, y, level, srcRect, dstSize, clip) : NotFast(src);
}

int CFastPlane::BlendBlt(CPlaneBase* src, int x, int y, int level, const Rect* srcRect, const Size* dstSize,
                         const Rect* clip)
{
    CFastPlane* f = AsFast(src);
    return f != nullptr ? BlendBltFast(f, x, y, level, srcRect, dstSize, clip) : NotFast(src);
}

int CFastPlane::AlphaBltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect,
                              const Size* dstSize, const Rect* clip)
{
    CFastPlane* f = AsFast(src);
    return f != nullptr ? AlphaBltFastFade(f, x, y, level, srcRect, dstSize, clip) : NotFast(src);
}

int CFastPlane::AlphaBlt(CPlaneBase* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                         const Rect* clip)
{
    CFastPlane* f = AsFast(src);
    return f != nullptr ? AlphaBltFast(f, x, y, srcRect, dstSize, clip) : NotFast(src);
}

// Both rules of the plane interface give NotFast for a source that is not a
// display plane (a null one included), whichever branch they would take.
int CFastPlane::BltAuto(CPlaneBase* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    CFastPlane* f = AsFast(src);
    if (f == nullptr) {
        return NotFast(src);
    }
    return f->HasAlpha() ? AlphaBltFast(f, x, y, srcRect, dstSize, clip) : BltColorKey(f, x, y, srcRect, dstSize, clip);
}

int CFastPlane::BltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect, const Size* dstSize,
                         const Rect* clip)
{
    if (level >= 255) {
        return BltAuto(src, x, y, srcRect, dstSize, clip);
    }
    CFastPlane* f = AsFast(src);
    if (f == nullptr) {
        return NotFast(src);
    }
    return f->HasAlpha() ? AlphaBltFastFade(f, x, y, level, srcRect, dstSize, clip)
                         : BlendBlt(f, x, y, level, srcRect, dstSize, clip);
}

int CFastPlane::AlphaBltFade(CPlaneBase* src, int x, int y, int level)
{
    CFastPlane* f = AsFast(src);
    return f != nullptr ? AlphaBltFastFade(f, x, y, level, nullptr, nullptr, nullptr) : NotFast(src);
}

int CFastPlane::RateBltColorKey(CPlaneBase*, int, int, Rates, Rates, const Rect*, const Size*, const Rect*)
{
    return kPlaneFormatPair;
}

int CFastPlane::RateBlt(CPlaneBase*, int, int, Rates, Rates, const Rect*, const Size*, const Rect*)
{
    return kPlaneFormatPair;
}

int CFastPlane::AlphaRateBlt(CPlaneBase*, int, int, Rates, Rates, const Rect*, const Size*, const Rect*)
{
    return kPlaneFormatPair;
}
