#pragma once
// Test support for plane kernels: random planes of any format, random blit
// requests, and an independent reference walk that says which source pixel
// lands on each destination pixel (written from the sampling rule, not from
// the walk the code uses).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "display/FastPlane.h"
#include "display/PixelFormat.h"

namespace planetest {

inline const std::vector<int>& AllFormats()
{
    static const std::vector<int> formats = {2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13};
    return formats;
}

inline uint8_t* PixelAt(CFastPlane& p, int x, int y)
{
    SurfaceView v = p.GetSurfaceView();
    return v.pixels + static_cast<intptr_t>(y) * v.pitch + static_cast<intptr_t>(x) * pixfmt::BytesPerPixel(p.GetPixelFormat());
}

// Random bytes everywhere. Alpha levels of 10/11 stay 0..15 unless wildLevels.
inline void FillRandom(CFastPlane& p, std::mt19937& rng, bool wildLevels = false)
{
    int w, h;
    p.GetSize(&w, &h);
    const int bpp = pixfmt::BytesPerPixel(p.GetPixelFormat());
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = PixelAt(p, 0, y);
        for (int i = 0; i < w * bpp; ++i) row[i] = static_cast<uint8_t>(byte(rng));
        if ((p.GetPixelFormat() == 10 || p.GetPixelFormat() == 11) && !wildLevels) {
            for (int x = 0; x < w; ++x) row[x * 4 + 2] &= 15;
        }
    }
    // Some extreme alphas, which the blends treat specially.
    if (pixfmt::IsAlphaFormat(p.GetPixelFormat())) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int pick = byte(rng) & 7;
                uint8_t* px = PixelAt(p, x, y);
                int at = (p.GetPixelFormat() >= 12) ? 3 : 2;
                int full = (p.GetPixelFormat() >= 12) ? 255 : 15;
                if (pick == 0) px[at] = 0;
                if (pick == 1) px[at] = static_cast<uint8_t>(full);
            }
        }
    }
}

inline std::vector<uint8_t> Snapshot(CFastPlane& p)
{
    int w, h;
    p.GetSize(&w, &h);
    const int bpp = pixfmt::BytesPerPixel(p.GetPixelFormat());
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * bpp);
    for (int y = 0; y < h; ++y) std::memcpy(&out[static_cast<size_t>(y) * w * bpp], PixelAt(p, 0, y), static_cast<size_t>(w) * bpp);
    return out;
}

struct BltCase {
    int x = 0, y = 0;
    std::optional<Rect> srcRect;
    std::optional<Size> dstSize;
    std::optional<Rect> clip;
    const Rect* SrcRect() const { return srcRect ? &*srcRect : nullptr; }
    const Size* DstSize() const { return dstSize ? &*dstSize : nullptr; }
    const Rect* Clip() const { return clip ? &*clip : nullptr; }
    std::string Describe() const
    {
        std::string s = "at (" + std::to_string(x) + "," + std::to_string(y) + ")";
        if (srcRect) s += " src " + std::to_string(srcRect->left) + "," + std::to_string(srcRect->top) + "," + std::to_string(srcRect->right) + "," + std::to_string(srcRect->bottom);
        if (dstSize) s += " size " + std::to_string(dstSize->cx) + "x" + std::to_string(dstSize->cy);
        if (clip) s += " clip " + std::to_string(clip->left) + "," + std::to_string(clip->top) + "," + std::to_string(clip->right) + "," + std::to_string(clip->bottom);
        return s;
    }
};

// A random request against planes of the given sizes: positions partly
// outside, source rectangles inside the source, 1:1 or stretched (both
// ways), clipped or not.
inline BltCase RandomCase(std::mt19937& rng, int dw, int dh, int sw, int sh)
{
    auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    BltCase c;
    if (uni(0, 2) != 0) {
        int l = uni(0, sw - 1), t = uni(0, sh - 1);
        c.srcRect = Rect{l, t, uni(l + 1, sw), uni(t + 1, sh)};
    }
    int w = c.srcRect ? c.srcRect->Width() : sw;
    int h = c.srcRect ? c.srcRect->Height() : sh;
    switch (uni(0, 3)) {
    case 0: break;
    case 1: c.dstSize = Size{w, h}; break;
    default: c.dstSize = Size{uni(1, 2 * dw), uni(1, 2 * dh)}; break;
    }
    if (uni(0, 1) == 1) {
        int l = uni(-5, dw), t = uni(-5, dh);
        c.clip = Rect{l, t, uni(l, dw + 5), uni(t, dh + 5)};
    }
    int cw = c.dstSize ? c.dstSize->cx : w;
    int ch = c.dstSize ? c.dstSize->cy : h;
    c.x = uni(-cw, dw);
    c.y = uni(-ch, dh);
    return c;
}

// Source column (or row) that destination offset j samples in a walk of src
// source pixels over dst destination pixels: j * (src div dst) plus the
// carries of the error term, max(0, floor(((j + 1) * (src mod dst) - 1) / dst)).
inline int Sample(int j, int src, int dst)
{
    if (src == dst) return j;
    int rem = src % dst;
    int carry = ((j + 1) * rem - 1) / dst;  // the numerator is -1 at worst, which truncates to 0
    return j * (src / dst) + (carry > 0 ? carry : 0);
}

// Calls visit(dx, dy, sx, sy) for every destination pixel the request draws.
inline void ReferenceWalk(CFastPlane& dst, CFastPlane& src, const BltCase& c,
                          const std::function<void(int, int, int, int)>& visit)
{
    int dw, dh, sw, sh;
    dst.GetSize(&dw, &dh);
    src.GetSize(&sw, &sh);
    Rect s = c.srcRect ? *c.srcRect : Rect{0, 0, sw, sh};
    Rect clip = c.clip ? *c.clip : Rect{0, 0, dw, dh};
    clip.left = std::max(clip.left, 0);
    clip.top = std::max(clip.top, 0);
    clip.right = std::min(clip.right, dw);
    clip.bottom = std::min(clip.bottom, dh);
    const int w = s.Width(), h = s.Height();
    const int W = c.dstSize ? c.dstSize->cx : w;
    const int H = c.dstSize ? c.dstSize->cy : h;
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return;
    const bool stretch = W != w || H != h;
    for (int j = 0; j < H; ++j) {
        int dy = c.y + j;
        if (dy < clip.top || dy >= clip.bottom) continue;
        for (int i = 0; i < W; ++i) {
            int dx = c.x + i;
            if (dx < clip.left || dx >= clip.right) continue;
            int sx = s.left + (stretch ? Sample(i, w, W) : i);
            int sy = s.top + (stretch ? Sample(j, h, H) : j);
            visit(dx, dy, sx, sy);
        }
    }
}

// Runs op on a fresh copy of dst and compares every byte of every pixel with
// the reference: pixels the walk visits get ref(dstBytes, srcBytes), the
// others stay. Returns false (with a gtest failure) on the first mismatch.
inline bool CheckAgainstReference(CFastPlane& dst, CFastPlane& src, const BltCase& c,
                                  const std::function<int(CFastPlane&, CFastPlane&)>& op,
                                  const std::function<void(uint8_t*, const uint8_t*)>& ref, const std::string& what)
{
    CFastPlane actual;
    actual.CopyFrom(dst);
    CFastPlane expected;
    expected.CopyFrom(dst);
    const int result = op(actual, src);
    EXPECT_EQ(result, 0) << what << " " << c.Describe() << ": a supported pair must answer 0";
    ReferenceWalk(expected, src, c, [&](int dx, int dy, int sx, int sy) { ref(PixelAt(expected, dx, dy), PixelAt(src, sx, sy)); });
    int w, h;
    dst.GetSize(&w, &h);
    const int bpp = pixfmt::BytesPerPixel(dst.GetPixelFormat());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (std::memcmp(PixelAt(actual, x, y), PixelAt(expected, x, y), bpp) != 0) {
                uint32_t a = 0, e = 0;
                std::memcpy(&a, PixelAt(actual, x, y), bpp);
                std::memcpy(&e, PixelAt(expected, x, y), bpp);
                ADD_FAILURE() << what << " " << c.Describe() << ": pixel (" << x << "," << y << ") is 0x" << std::hex << a
                              << ", the reference gives 0x" << e << std::dec << "; the kernel computes or places this pixel wrongly";
                return false;
            }
        }
    }
    return true;
}

// ---- plain channel helpers for the references ------------------------------

struct Channels {
    int r, g, b;
};

// The channel values of a 16-bit word in their own bits (5-6-5 or 5-5-5).
inline Channels Split16(uint32_t w, bool is565)
{
    if (is565) return {int((w >> 11) & 31), int((w >> 5) & 63), int(w & 31)};
    return {int((w >> 10) & 31), int((w >> 5) & 31), int(w & 31)};
}

inline uint16_t Join16(Channels c, bool is565)
{
    if (is565) return static_cast<uint16_t>((c.r << 11) | (c.g << 5) | c.b);
    return static_cast<uint16_t>((c.r << 10) | (c.g << 5) | c.b);
}

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline void Put16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline bool Is565(int format) { return format == 3 || format == 10; }

}  // namespace planetest
