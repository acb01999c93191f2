// The display core's copies: Blt, BltColorKey and BltFromFrame, between any
// two pixel formats, 1:1 or stretched.
#include <cstring>

#include "display/BltWalk.h"
#include "display/FastPlane.h"
#include "display/PreparedBlt.h"
#include "display/PlaneLock.h"

namespace {

using namespace pixfmt;

// Alpha of a raw pixel on the 0..255 scale (formats without alpha: opaque).
template <class F>
uint32_t Alpha8(uint32_t raw)
{
    if constexpr (F::kAlpha == 4) return ((raw >> 16) & 15) * 17;
    else if constexpr (F::kAlpha == 8) return raw >> 24;
    else return 255;
}

// One source pixel converted to the destination's format.
template <class D, class S>
uint32_t Convert(uint32_t raw)
{
    if constexpr (D::kCode == S::kCode) {
        return raw;
    } else {
        uint32_t v = D::FromRgb(S::ToRgb(raw));
        if constexpr (D::kAlpha == 4) {
            v = (v & 0xFFFF) | ((Alpha8<S>(raw) >> 4) << 16);
        } else if constexpr (D::kAlpha == 8) {
            v = (v & 0xFFFFFF) | (Alpha8<S>(raw) << 24);
        }
        return v;
    }
}

// The copy's key rule: the whole 16-bit pixel (the colour word of 10 and 11),
// the low 24 bits of 24- and 32-bit pixels.
template <class S>
bool IsCopyKey(uint32_t raw, uint32_t key)
{
    if constexpr (S::kBytes == 1) return (raw & 0xFF) == (key & 0xFF);
    else if constexpr (S::kBytes == 2 || S::kAlpha == 4) return (raw & 0xFFFF) == (key & 0xFFFF);
    else return (raw & 0xFFFFFF) == (key & 0xFFFFFF);
}

bool PairSupported(int dst, int src)
{
    if (dst == k8 || src == k8) {
        return dst == src;
    }
    return IsFormat(dst) && IsFormat(src);
}

// The copy's pixel steps and its same-format row, shared by the plane
// kernels and the piece kernels.
template <class D, class S>
struct CopyPixel {
    void operator()(uint8_t* d, const uint8_t* s) const { D::Store(d, Convert<D, S>(S::Load(s))); }
};

template <class D, class S>
struct KeyedCopyPixel {
    uint32_t key;
    void operator()(uint8_t* d, const uint8_t* s) const
    {
        const uint32_t raw = S::Load(s);
        if (!IsCopyKey<S>(raw, key)) {
            D::Store(d, Convert<D, S>(raw));
        }
    }
};

template <class D>
struct CopyRow {
    void operator()(uint8_t* d, const uint8_t* s, int count) const
    {
        std::memmove(d, s, static_cast<size_t>(count) * D::kBytes);
    }
};

template <class D, class S>
void CopyKernel(const SurfaceView& dv, const SurfaceView& sv, int x, int y, const Rect* srcRect,
                const Size* dstSize, const Rect* clip, bool keyed, uint32_t key)
{
    if (keyed) {
        WalkBlt<D::kBytes, S::kBytes>(dv, sv, x, y, srcRect, dstSize, clip, KeyedCopyPixel<D, S>{key});
        return;
    }
    if constexpr (D::kCode == S::kCode) {
        WalkBltRows<D::kBytes, S::kBytes>(dv, sv, x, y, srcRect, dstSize, clip, CopyPixel<D, S>{}, CopyRow<D>{});
    } else {
        WalkBlt<D::kBytes, S::kBytes>(dv, sv, x, y, srcRect, dstSize, clip, CopyPixel<D, S>{});
    }
}

// A clipped 1:1 piece (see PreparedBlt.h); arg is the source's key.
template <class D, class S, bool Keyed>
[[gnu::always_inline]] inline void CopyPiece(const SurfaceView& dstView, const SurfaceView& srcView, const OneToOneClip& piece, uint32_t key)
{
    // Walked from copies: a byte store may alias whatever the references
    // reach, which would reload the bounds and pitches on every pixel.
    const SurfaceView dv = dstView;
    const SurfaceView sv = srcView;
    const OneToOneClip r = piece;
    if constexpr (Keyed) {
        WalkOneToOne<D::kBytes, S::kBytes>(dv, sv, r, KeyedCopyPixel<D, S>{key});
    } else if constexpr (D::kCode == S::kCode) {
        WalkOneToOne<D::kBytes, S::kBytes>(dv, sv, r, CopyPixel<D, S>{}, CopyRow<D>{});
    } else {
        WalkOneToOne<D::kBytes, S::kBytes>(dv, sv, r, CopyPixel<D, S>{});
    }
}

int CopyBetween(const SurfaceView& dv, int dstFormat, const SurfaceView& sv, int srcFormat, int x, int y,
                const Rect* srcRect, const Size* dstSize, const Rect* clip, bool keyed, uint32_t key)
{
    if (!PairSupported(dstFormat, srcFormat)) {
        return kPlaneFormatPair;
    }
    VisitFormat(dstFormat, [&](auto d) {
        VisitFormat(srcFormat, [&](auto s) {
            using D = decltype(d);
            using S = decltype(s);
            // 8-bit planes pair only with each other (checked above).
            if constexpr ((D::kBytes == 1) == (S::kBytes == 1)) {
                CopyKernel<D, S>(dv, sv, x, y, srcRect, dstSize, clip, keyed, key);
            }
        });
    });
    return kPlaneDone;
}

// The planes' kernels: the operation's own arguments in its own order, so
// that Blt and BltColorKey reach them with a jump (see PlaneLock.h).
template <class D, class S, bool Keyed>
int CopyPlanes(CFastPlane& dst, CFastPlane& src, int x, int y, const Rect* srcRect, const Size* dstSize,
               const Rect* clip)
{
    const uint32_t key = Keyed ? src.GetColorKey() : 0;
    CopyKernel<D, S>(dst.GetSurfaceView(), src.GetSurfaceView(), x, y, srcRect, dstSize, clip, Keyed, key);
    return kPlaneDone;
}

int RefuseCopy(CFastPlane&, CFastPlane&, int, int, const Rect*, const Size*, const Rect*)
{
    return kPlaneFormatPair;
}

using CopyFn = int (*)(CFastPlane&, CFastPlane&, int, int, const Rect*, const Size*, const Rect*);

// PairSupported's pairs: 8-bit planes only with each other, every other
// pair of formats.
template <class D, class S>
constexpr bool kCopyPair = (D::kBytes == 1) == (S::kBytes == 1);

template <bool Keyed>
constexpr PairTable<CopyFn> kCopyKernels(&RefuseCopy, [](auto d, auto s, CopyFn* slot) {
    if constexpr (kCopyPair<decltype(d), decltype(s)>) {
        *slot = &CopyPlanes<decltype(d), decltype(s), Keyed>;
    }
});

template <bool Keyed>
constexpr PairTable<PieceKernel> kCopyPieceKernels(&DrawNoPiece, [](auto d, auto s, PieceKernel* slot) {
    if constexpr (kCopyPair<decltype(d), decltype(s)>) {
        *slot = &CopyPiece<decltype(d), decltype(s), Keyed>;
    }
});

template <bool Keyed>
constexpr PairTable<PieceBatchKernel> kCopyPieceBatches(&DrawPieceBatch<&DrawNoPiece>,
                                                        [](auto d, auto s, PieceBatchKernel* slot) {
    if constexpr (kCopyPair<decltype(d), decltype(s)>) {
        *slot = &DrawPieceBatch<&CopyPiece<decltype(d), decltype(s), Keyed>>;
    }
});

}  // namespace

PieceKernel FindCopyPieceKernel(int dstFormat, int srcFormat, bool keyed)
{
    return keyed ? kCopyPieceKernels<true>.Find(dstFormat, srcFormat)
                 : kCopyPieceKernels<false>.Find(dstFormat, srcFormat);
}

PieceBatchKernel FindCopyPieceBatch(int dstFormat, int srcFormat, bool keyed)
{
    return keyed ? kCopyPieceBatches<true>.Find(dstFormat, srcFormat)
                 : kCopyPieceBatches<false>.Find(dstFormat, srcFormat);
}

int CFastPlane::Blt(CFastPlane* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    return DrawPair(kCopyKernels<false>, this, src, x, y, srcRect, dstSize, clip);
}

int CFastPlane::BltColorKey(CFastPlane* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                            const Rect* clip)
{
    return DrawPair(kCopyKernels<true>, this, src, x, y, srcRect, dstSize, clip);
}

int CFastPlane::BltFromFrame(const uint8_t* pixels, int32_t pitch, int width, int height, int pixelFormat)
{
    if (Lock() != 0) {
        return kPlaneNotLocked;
    }
    int result = kPlaneFormatPair;
    const int bytes = BytesPerPixel(pixelFormat);
    const int64_t rowBytes = static_cast<int64_t>(width) * bytes;
    const int64_t absPitch = pitch < 0 ? -static_cast<int64_t>(pitch) : pitch;
    if (pixels == nullptr || bytes == 0) {
        result = kPlaneFormatPair;
    } else if (width <= 0 || height <= 0) {
        result = kPlaneDone;  // an empty frame: nothing to copy
    } else if (absPitch >= rowBytes) {
        // (A shorter pitch would read each row into the next, and the last past the buffer.)
        SurfaceView frame{const_cast<uint8_t*>(pixels), pitch, Rect{0, 0, width, height}};
        result = CopyBetween(GetSurfaceView(), format_, frame, pixelFormat, 0, 0, nullptr, nullptr, nullptr, false, 0);
    }
    Unlock();
    return result;
}

int CFastPlane::ConvertFormat(int pixelFormat)
{
    if (pixels_ == nullptr || !IsFormat(pixelFormat)) {
        return 1;
    }
    if (pixelFormat == format_) {
        return 0;
    }
    CFastPlane converted;
    if (converted.CreateSurface(width_, height_, pixelFormat) != 0 ||
        CopyBetween(converted.GetSurfaceView(), pixelFormat, GetSurfaceView(), format_, 0, 0, nullptr, nullptr,
                    nullptr, false, 0) != kPlaneDone) {
        return 1;
    }
    // The key goes through the same conversion as the pixels, so converted
    // key-coloured pixels stay keyed.
    uint32_t keyRgb = 0;
    VisitFormat(format_, [&](auto fmt) {
        Rgb c = decltype(fmt)::ToRgb(colorKey_);
        keyRgb = (uint32_t(c.r) << 16) | (c.g << 8) | c.b;
    });
    storage_ = std::move(converted.storage_);
    pixels_ = converted.pixels_;
    pitch_ = converted.pitch_;
    format_ = pixelFormat;
    planeRect_ = converted.planeRect_;
    hasAlpha_ = converted.hasAlpha_;
    converted.pixels_ = nullptr;
    SetColorKey(keyRgb);
    return 0;
}
