// The display plane's bridge to the picture loaders: a picture is decoded
// into a software plane (32-bit 0xAARRGGBB) and converted into the plane's
// own pixel format. Pictures with alpha get the alpha format of the screen
// format; formats 10 and 11 keep the alpha as a level 0..15 (alpha >> 4), on
// which their per-pixel alpha blits rely.
#include <algorithm>
#include <cstring>
#include <memory>

#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "image/SoftPlane.h"

namespace {

CSoftPlaneImpl* SoftImplOf(CPlaneBase* plane)
{
    if (plane == nullptr || plane->GetPlaneType() != 2) {
        return nullptr;
    }
    return static_cast<CSoftPlane*>(plane)->GetImpl();
}

// One 0xAARRGGBB pixel in format T (alpha kept where the format has it).
template <class T>
inline uint32_t FromSoftPixel(uint32_t p)
{
    pixfmt::Rgb c{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
    uint32_t v = T::FromRgb(c);
    if constexpr (T::kAlpha == 8) {
        v = (v & 0x00FFFFFFu) | (p & 0xFF000000u);
    } else if constexpr (T::kAlpha == 4) {
        v = (v & 0xFFFFu) | ((p >> 28) << 16);
    }
    return v;
}

// Converts the top-left width x height pixels of a software plane (as its
// PlaneBits describe them) into the view, format chosen once for the copy.
void ConvertRows(const SurfaceView& view, int format, const PlaneBits& soft, int width, int height)
{
    pixfmt::VisitFormat(format, [&](auto traits) {
        using T = decltype(traits);
        for (int y = 0; y < height; ++y) {
            const uint32_t* in = reinterpret_cast<const uint32_t*>(soft.pixels + static_cast<ptrdiff_t>(y) * soft.pitch);
            uint8_t* out = view.pixels + static_cast<ptrdiff_t>(y) * view.pitch;
            if constexpr (T::kCode == pixfmt::kBGRA32) {
                // The software plane's own layout.
                std::memcpy(out, in, static_cast<size_t>(width) * 4);
            } else if constexpr (T::kCode == pixfmt::kBGRX32) {
                // Same layout; the fourth byte must be 0 for whole-pixel key tests.
                uint32_t* o = reinterpret_cast<uint32_t*>(out);
                for (int x = 0; x < width; ++x) {
                    o[x] = in[x] & 0x00FFFFFFu;
                }
            } else {
                for (int x = 0; x < width; ++x) {
                    T::Store(out + x * T::kBytes, FromSoftPixel<T>(in[x]));
                }
            }
        }
    });
}

// The format a loaded picture gets: the default (screen) format, or its
// alpha format for a picture with alpha.
int LoadFormatFor(CPlaneBase* picture)
{
    int format = CFastPlane::DefaultFormat();
    if (picture->HasAlpha() && pixfmt::AlphaFormatOf(format) != pixfmt::kNone) {
        format = pixfmt::AlphaFormatOf(format);
    }
    return format;
}

// Format 7 keeps the fourth byte 0 for whole-pixel key tests. Decoded
// pictures mostly have it 0 already (the JPEG decoder writes 0), so the
// pixels are only rewritten when one is not.
void ClearFourthBytes(uint32_t* pixels, size_t count)
{
    if (AllFourthBytesClear(pixels, count)) {
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        pixels[i] &= 0x00FFFFFFu;
    }
}

}  // namespace

int CFastPlane::LoadFile(const std::string& name, int flag, double scalePercent)
{
    // The picture is decoded with the DIB-section flag set, so pictures of
    // the general decoder are drawn straight into the software plane. Planes
    // are loaded on the game thread only, so one decoding plane serves every
    // load and keeps its memory for the formats that convert (a picture of the
    // same size or smaller needs no new allocation); the 32-bit formats take
    // its memory over instead.
    static CSoftPlane* picture = [] {
        auto* plane = new CSoftPlane;
        plane->GetImpl()->SetUseDIBSection(true);
        plane->GetImpl()->SetKeepMemory(true);
        return plane;
    }();
    int result = picture->LoadFile(name, 0, scalePercent);
    if (result == 0) {
        result = LoadTaking(picture, flag);
    } else {
        Release();
    }
    picture->Release();
    return result;
}

int CFastPlane::Load(CPlaneBase* picture, int /*flag*/)
{
    CSoftPlaneImpl* soft = SoftImplOf(picture);
    if (soft == nullptr) {
        Release();
        return kPlaneFormatPair;
    }
    int width = 0;
    int height = 0;
    soft->GetSize(&width, &height);
    const int format = LoadFormatFor(picture);
    // ConvertRows writes every pixel: the surface need not be cleared first.
    if (soft->GetPixels() == nullptr || AllocateSurface(width, height, format, false) != 0) {
        Release();
        return kPlaneNotLocked;
    }
    ConvertRows(GetSurfaceView(), format, soft->GetPlaneBits(), width, height);
    SetColorKey(soft->GetColorKey() & 0xFFFFFFu);
    return kPlaneDone;
}

// In the 32-bit formats with blue first (7 and 12) the display plane's pixels
// are the software plane's own bytes (format 7 with the fourth byte 0), so
// the decoded picture's memory becomes the surface: no new surface to clear
// and no conversion pass. Other formats, or a plane whose rows are not
// packed, go through Load.
int CFastPlane::LoadTaking(CPlaneBase* picture, int flag)
{
    CSoftPlaneImpl* soft = SoftImplOf(picture);
    if (soft == nullptr || soft->GetPixels() == nullptr) {
        return Load(picture, flag);
    }
    int width = 0;
    int height = 0;
    soft->GetSize(&width, &height);
    const int format = LoadFormatFor(picture);
    if ((format != pixfmt::kBGRA32 && format != pixfmt::kBGRX32) || soft->GetPitch() != width * 4) {
        return Load(picture, flag);
    }
    uint32_t* pixels = soft->GetPixels();
    const uint32_t key = soft->GetColorKey();
    const bool fourthBytesClear = soft->FourthBytesClear();
    PixelMemory memory = soft->TakeMemory();
    AdoptSurface(std::move(memory), reinterpret_cast<uint8_t*>(pixels), width * 4, width, height, format);
    // The general decoder's pictures come with their fourth bytes 0 already.
    if (format == pixfmt::kBGRX32 && !fourthBytesClear) {
        ClearFourthBytes(pixels, static_cast<size_t>(width) * static_cast<size_t>(height));
    }
    SetColorKey(key & 0xFFFFFFu);
    return kPlaneDone;
}

int CFastPlane::BltFromDIB(CPlaneBase* src)
{
    CSoftPlaneImpl* soft = SoftImplOf(src);
    if (src != nullptr && soft == nullptr) {
        return kPlaneFormatPair;
    }
    PlaneBits bits = soft ? soft->GetPlaneBits() : PlaneBits{};
    if (!bits.present || !IsCreated()) {
        return kPlaneNotLocked;
    }
    SurfaceView view = GetSurfaceView();
    // The overlap of the two planes, from their top-left corners.
    int width = std::min(bits.rect.right, view.rect.right);
    int height = std::min(bits.rect.bottom, view.rect.bottom);
    ConvertRows(view, GetPixelFormat(), bits, width, height);
    return kPlaneDone;
}
