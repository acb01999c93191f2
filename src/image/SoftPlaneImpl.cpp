#include "image/SoftPlaneImpl.h"

#include <algorithm>
#include <cstring>

#include "image/ImageLimits.h"
#include "image/SoftPlaneKernelSets.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

// The stepping state after k destination pixels of a walk that starts with
// error term e0 (see BltWork): returns the whole source advance and leaves the
// error term in *err. Mirrors the per-pixel loop "advance by step, add rem,
// carry one more when the term becomes non-negative and subtract den".
int64_t AdvanceStepper(int64_t k, int64_t step, int64_t rem, int64_t den, int64_t e0, int* err)
{
    int64_t total = e0 + k * rem;
    int64_t carries = total >= 0 ? FloorDiv(total, den) + 1 : 0;
    *err = static_cast<int>(total - den * carries);
    return k * step + carries;
}

Rect ClampToPlane(const Rect& r, const Rect& plane)
{
    return Rect{std::max(r.left, plane.left), std::max(r.top, plane.top), std::min(r.right, plane.right),
                std::min(r.bottom, plane.bottom)};
}

}  // namespace

CSoftPlaneImpl::CSoftPlaneImpl() = default;

CSoftPlaneImpl::~CSoftPlaneImpl() = default;

int CSoftPlaneImpl::Create(int width, int height)
{
    Release();
    if (!IsPictureSizeValid(width, height)) {
        return 1;
    }
    size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    // The block starts aligned, so that the SIMD kernels' rows start well;
    // the pitch stays width * 4, so only row 0 is sure to be aligned.
    if (!raw_ || rawCapacity_ < bytes) {
        raw_.reset();
        rawCapacity_ = 0;
        PixelMemory raw = AllocatePixelMemory(bytes);
        if (!raw) {
            return 1;
        }
        raw_ = std::move(raw);
        rawCapacity_ = bytes;
    }
    pixels_ = reinterpret_cast<uint32_t*>(raw_.get());
    rect_ = Rect{0, 0, width, height};
    pitch_ = width * 4;
    rows_.resize(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows_[static_cast<size_t>(y)] = pixels_ + static_cast<size_t>(y) * static_cast<size_t>(width);
    }
    return 0;
}

int CSoftPlaneImpl::CreateCleared(int width, int height)
{
    int result = Create(width, height);
    if (result != 0) {
        return result;
    }
    Clear(-1, nullptr);
    return 0;
}

DibView CSoftPlaneImpl::GetDC() const
{
    if (!useDIB_ || pixels_ == nullptr) {
        return DibView{};
    }
    return DibView{pixels_, pitch_, rect_.right, rect_.bottom};
}

void CSoftPlaneImpl::Release()
{
    if (!keepMemory_) {
        raw_.reset();
        rawCapacity_ = 0;
    }
    pixels_ = nullptr;
    rows_.clear();
    rows_.shrink_to_fit();
    pitch_ = 0;
    loaded_ = false;
    fourthBytesClear_ = false;
    hasAlpha_ = 0;
    rect_ = Rect{};
}

PixelMemory CSoftPlaneImpl::TakeMemory()
{
    if (pixels_ == nullptr) {
        return nullptr;
    }
    PixelMemory memory = std::move(raw_);
    rawCapacity_ = 0;
    Release();
    return memory;
}

int CSoftPlaneImpl::Clear(int64_t colour, const Rect* rect)
{
    if (pixels_ == nullptr) {
        return 1;
    }
    uint32_t value = colour == -1 ? fillColor_ : static_cast<uint32_t>(colour);
    Rect area = rect ? ClampToPlane(*rect, rect_) : rect_;
    for (int y = area.top; y < area.bottom; ++y) {
        std::fill(rows_[y] + area.left, rows_[y] + std::max(area.left, area.right), value);
    }
    return 0;
}

int CSoftPlaneImpl::SetColorKeyRGB(int r, int g, int b)
{
    colorKey_ = ((static_cast<uint32_t>(r) & 0xFF) << 16) | ((static_cast<uint32_t>(g) & 0xFF) << 8) |
                (static_cast<uint32_t>(b) & 0xFF);
    return 0;
}

int CSoftPlaneImpl::SetColorKeyPos(int x, int y)
{
    if (x < rect_.left || x >= rect_.right || y < rect_.top || y >= rect_.bottom) {
        return 1;
    }
    colorKey_ = GetPixel(x, y) & 0xFFFFFF;
    return 0;
}

uint32_t CSoftPlaneImpl::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= rect_.right || y >= rect_.bottom) {
        return 0;
    }
    return rows_[y][x];
}

void CSoftPlaneImpl::GetSize(int* width, int* height) const
{
    if (width) {
        *width = rect_.right;
    }
    if (height) {
        *height = rect_.bottom;
    }
}

bool AllFourthBytesClear(const uint32_t* pixels, size_t count)
{
    uint32_t any = 0;
    for (size_t i = 0; i < count; ++i) {
        any |= pixels[i];
    }
    return (any & 0xFF000000u) == 0;
}

void CSoftPlaneImpl::ClearAlpha()
{
    size_t count = static_cast<size_t>(rect_.right) * static_cast<size_t>(rect_.bottom);
    for (size_t i = 0; i < count; ++i) {
        pixels_[i] &= 0x00FFFFFFu;
    }
    fourthBytesClear_ = true;
}

int CSoftPlaneImpl::PrepareBlt(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                               const Rect* clip)
{
    return PrepareCommon(src, x, y, srcRect, dstSize, clip, false);
}

int CSoftPlaneImpl::PrepareBltEx(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                                 const Rect* clip)
{
    return PrepareCommon(src, x, y, srcRect, dstSize, clip, true);
}

// The clip rectangle is clamped to this plane, and the source rectangle to the
// source picture (callers keep it inside; a rectangle reaching outside is cut,
// moving the destination along in the 1:1 case, so nothing is read outside).
// All edge arithmetic is done in 64 bits: positions and sizes come from
// callers and may be far outside the plane.
int CSoftPlaneImpl::PrepareCommon(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                                  const Rect* clip, bool mirror)
{
    if (src == nullptr || src->pixels_ == nullptr || pixels_ == nullptr) {
        return 1;
    }
    Rect c = clip ? ClampToPlane(*clip, rect_) : rect_;
    if (c.IsEmpty()) {
        return 1;
    }
    Rect s = srcRect ? *srcRect : src->rect_;
    if (mirror && s.left > s.right) {
        return 1;
    }
    int64_t sw = int64_t{s.right} - s.left;
    int64_t sh = int64_t{s.bottom} - s.top;
    if (sw <= 0 || sh <= 0) {
        return 1;
    }
    bool stretch = dstSize != nullptr && (dstSize->cx != sw || dstSize->cy != sh);

    if (!stretch) {
        // 1:1. Cut the source rectangle to the source picture first.
        int64_t sl = s.left, st = s.top, sr = s.right, sb = s.bottom;
        int64_t dx = x, dy = y;
        if (sl < 0) {
            if (!mirror) dx += -sl;
            sl = 0;
        }
        if (sr > src->rect_.right) {
            if (mirror) dx += sr - src->rect_.right;
            sr = src->rect_.right;
        }
        if (st < 0) {
            dy += -st;
            st = 0;
        }
        if (sb > src->rect_.bottom) {
            sb = src->rect_.bottom;
        }
        if (sl >= sr || st >= sb) {
            return 1;
        }
        int64_t dl = dx, dt = dy, dr = dx + (sr - sl), db = dy + (sb - st);
        if (c.left > dl) {
            int64_t cut = c.left - dl;
            if (mirror) sr -= cut; else sl += cut;
            dl = c.left;
        }
        if (c.top > dt) {
            st += c.top - dt;
            dt = c.top;
        }
        if (dr > c.right) {
            int64_t cut = dr - c.right;
            if (mirror) sl += cut; else sr -= cut;
            dr = c.right;
        }
        if (db > c.bottom) {
            sb -= db - c.bottom;
            db = c.bottom;
        }
        if (sl >= sr || st >= sb) {
            return 1;
        }
        work_.same = true;
        work_.sl = static_cast<int>(sl);
        work_.st = static_cast<int>(st);
        work_.sr = static_cast<int>(sr);
        work_.sb = static_cast<int>(sb);
        work_.dl = static_cast<int>(dl);
        work_.dt = static_cast<int>(dt);
        work_.dr = static_cast<int>(dr);
        work_.db = static_cast<int>(db);
        return 0;
    }

    // Stretch.
    // Past 2^28 the doubled terms of a mirrored walk would leave int; no
    // picture is stretched that far.
    constexpr int kMaxStretch = 1 << 28;
    if (dstSize->cx <= 0 || dstSize->cy <= 0 || dstSize->cx > kMaxStretch || dstSize->cy > kMaxStretch) {
        return 1;
    }
    Rect sc = ClampToPlane(s, src->rect_);
    if (sc.IsEmpty()) {
        return 1;
    }
    sw = sc.Width();
    sh = sc.Height();
    int64_t dwX = dstSize->cx;
    int64_t dhY = dstSize->cy;
    int64_t dl = x, dt = y, dr = int64_t{x} + dwX, db = int64_t{y} + dhY;
    int64_t kx = c.left > dl ? c.left - dl : 0;  // destination offsets clipped away
    int64_t ky = c.top > dt ? c.top - dt : 0;
    int64_t cdl = dl + kx, cdt = dt + ky;
    int64_t cdr = std::min<int64_t>(dr, c.right), cdb = std::min<int64_t>(db, c.bottom);
    if (cdl >= cdr || cdt >= cdb) {
        return 1;
    }
    // Direct walks: column(i) = sl + i * sw / dwX with the error term starting
    // at -dwX - 1. Mirrored walks use doubled terms (a half-pixel phase):
    // column(i) = sr - 1 - (2 * i * sw + dwX - 1) / (2 * dwX), which reaches one
    // column past the source when enlarging more than twice; the kernels clamp
    // it to the source rectangle. Rows of the mirrored walks step the same way.
    int64_t denX = mirror ? 2 * dwX : dwX;
    int64_t denY = mirror ? 2 * dhY : dhY;
    int64_t remX = mirror ? (2 * sw) % denX : sw % dwX;
    int64_t remY = mirror ? (2 * sh) % denY : sh % dhY;
    int errX = 0, errY = 0;
    int64_t advX = AdvanceStepper(kx, sw / dwX, remX, denX, -dwX - 1, &errX);
    int64_t advY = AdvanceStepper(ky, sh / dhY, remY, denY, -dhY - 1, &errY);
    work_.same = false;
    work_.sl = sc.left;
    work_.st = sc.top;
    work_.sr = sc.right;
    work_.sb = sc.bottom;
    work_.dl = static_cast<int>(cdl);
    work_.dt = static_cast<int>(cdt);
    work_.dr = static_cast<int>(cdr);
    work_.db = static_cast<int>(cdb);
    int64_t x0 = mirror ? int64_t{sc.right} - 1 - advX : int64_t{sc.left} + advX;
    int64_t y0 = int64_t{sc.top} + advY;
    work_.x0 = static_cast<int>(std::clamp<int64_t>(x0, sc.left, sc.right - 1));
    work_.y0 = static_cast<int>(std::clamp<int64_t>(y0, sc.top, sc.bottom - 1));
    work_.stepX = static_cast<int>(sw / dwX);
    work_.remX = static_cast<int>(remX);
    work_.dwX = static_cast<int>(denX);
    work_.exX = errX;
    work_.stepY = static_cast<int>(sh / dhY);
    work_.remY = static_cast<int>(remY);
    work_.dhY = static_cast<int>(denY);
    work_.exY = errY;
    return 0;
}

int CSoftPlaneImpl::BltLevel(CSoftPlaneImpl* src, int x, int y, int level, const Rect* srcRect,
                             const Size* dstSize, const Rect* clip)
{
    if (level <= 0) {
        return 0;
    }
    if (level >= 256) {
        return BltAuto(src, x, y, srcRect, dstSize, clip);
    }
    Rates l = static_cast<Rates>(level) * 0x010101u;
    if (src != nullptr && src->HasAlpha()) {
        return AlphaRateBlt(src, x, y, 0xFFFFFFu - l, l, srcRect, dstSize, clip);
    }
    return RateBltColorKey(src, x, y, 0xFFFFFFu - l, l, srcRect, dstSize, clip);
}

int CSoftPlaneImpl::BltAuto(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                            const Rect* clip)
{
    if (src != nullptr && src->HasAlpha()) {
        return AlphaBlt(src, x, y, srcRect, dstSize, clip);
    }
    return BltColorKey(src, x, y, srcRect, dstSize, clip);
}

int CSoftPlaneImpl::MosaicEffect(int size, const Rect* clip)
{
    if (size <= 0) {
        return -2;
    }
    if (pixels_ == nullptr) {
        return 0;
    }
    Rect area = clip ? ClampToPlane(*clip, rect_) : rect_;
    for (int by = area.top; by < area.bottom; by += size) {
        int ey = static_cast<int>(std::min<int64_t>(int64_t{by} + size, area.bottom));
        for (int bx = area.left; bx < area.right; bx += size) {
            int ex = static_cast<int>(std::min<int64_t>(int64_t{bx} + size, area.right));
            uint32_t colour = rows_[by][bx];
            for (int yy = by; yy < ey; ++yy) {
                std::fill(rows_[yy] + bx, rows_[yy] + ex, colour);
            }
        }
    }
    return 0;
}

int CSoftPlaneImpl::NegativeEffect(const Rect* clip)
{
    if (pixels_ == nullptr) {
        return 0;
    }
    Rect area = clip ? ClampToPlane(*clip, rect_) : rect_;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            rows_[y][x] ^= 0xFFFFFFu;
        }
    }
    return 0;
}

int CSoftPlaneImpl::GetAlphaAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= rect_.right || y >= rect_.bottom) {
        return 0;
    }
    uint32_t pixel = rows_[y][x];
    if (hasAlpha_) {
        return static_cast<int>(pixel >> 24);
    }
    return pixel == colorKey_ ? 0 : 255;
}

void CSoftPlaneImpl::MarkLoaded(bool alpha)
{
    loaded_ = true;
    hasAlpha_ = alpha ? 1 : 0;
    SetColorKeyPos(0, 0);
}

std::unique_ptr<CSoftPlaneImpl> MakeSoftPlaneImpl(int cpuClass)
{
    switch (cpuClass) {
    case 3: return std::make_unique<CSoftPlaneImplB>();
    case 4: return std::make_unique<CSoftPlaneImplC>();
    default: return std::make_unique<CSoftPlaneImplA>();
    }
}
