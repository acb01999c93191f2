// Quadrilateral blits and rotation on the software plane. The destination
// quad is filled one row at a time between its left and right outline; along
// each outline edge the destination x and the matching source place (u, v)
// are interpolated per row, and across a row the source place advances by a
// 12.20 fixed-point step per pixel (additions only inside the row).
#include <algorithm>
#include <cstdint>

#include "display/CosTable.h"
#include "frame/MulDiv.h"
#include "image/SoftPlaneImpl.h"

namespace {

constexpr int kFrac = 20;
constexpr int64_t kOne = int64_t{1} << kFrac;

// The corners in order around the outline (top-left, top-right, bottom-right,
// bottom-left) and each corner's position in that cycle and its opposite.
constexpr int kCycle[4] = {0, 1, 3, 2};
constexpr int kCyclePos[4] = {0, 1, 3, 2};
constexpr int kOpposite[4] = {3, 2, 1, 0};

// Row order: by y, then by x; equal corners keep their index order.
bool QuadCornerCompare(const QuadPoint& a, const QuadPoint& b)
{
    return a.y != b.y ? a.y < b.y : a.x < b.x;
}

bool InRange(const QuadPoint* quad)
{
    constexpr int m = CSoftPlaneImpl::kMaxQuadCoord;
    return std::all_of(quad, quad + 4, [](const QuadPoint& p) { return p.x >= -m && p.x <= m && p.y >= -m && p.y <= m; });
}

// One side of the outline: corner indices from the top corner to the bottom one.
struct Chain {
    int corner[4] = {};
    int count = 0;
};

Chain WalkChain(int top, int bottom, int direction)
{
    Chain c;
    int pos = kCyclePos[top];
    c.corner[c.count++] = top;
    while (c.corner[c.count - 1] != bottom && c.count < 4) {
        pos = (pos + direction + 4) & 3;
        c.corner[c.count++] = kCycle[pos];
    }
    return c;
}

// Where a chain crosses row y: destination x and source (u, v), all 12.20.
struct Crossing {
    int64_t x = 0, u = 0, v = 0;
};

// False when no edge of the chain spans row y (the outline folds back).
bool CrossAt(const Chain& c, const QuadPoint* dst, const QuadPoint* src, int d, int64_t y, Crossing* out)
{
    for (int i = 0; i + 1 < c.count; ++i) {
        const int a = c.corner[i];
        const int b = c.corner[i + 1];
        if (y < dst[a].y || y >= dst[b].y) {
            continue;
        }
        // The outline is crossed at the row's centre (k + 1/2 rows down the
        // edge). With inclusive source corners (d = 1) the source place runs
        // from corner to corner over the edge's first to last row instead.
        const int64_t h = int64_t{dst[b].y} - dst[a].y;
        const int64_t k = y - dst[a].y;
        out->x = dst[a].x * kOne + (2 * k + 1) * ((int64_t{dst[b].x} - dst[a].x) * kOne) / (2 * h);
        const int64_t num = d ? k : 2 * k + 1;
        const int64_t den = d ? std::max<int64_t>(1, h - 1) : 2 * h;
        out->u = src[a].x * kOne + num * ((int64_t{src[b].x} - src[a].x) * kOne) / den;
        out->v = src[a].y * kOne + num * ((int64_t{src[b].y} - src[a].y) * kOne) / den;
        return true;
    }
    return false;
}

void QuadFromRect(const Rect& r, bool inclusive, QuadPoint* quad)
{
    const int32_t right = inclusive ? r.right - 1 : r.right;
    const int32_t bottom = inclusive ? r.bottom - 1 : r.bottom;
    quad[0] = {r.left, r.top};
    quad[1] = {right, r.top};
    quad[2] = {r.left, bottom};
    quad[3] = {right, bottom};
}

}  // namespace

int CSoftPlaneImpl::BltQuadCore(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const QuadPoint* dstQuad,
                                const Rect* clip, int flag, bool keyed)
{
    if (src == nullptr || srcQuad == nullptr || dstQuad == nullptr || src->GetPixels() == nullptr ||
        !InRange(srcQuad) || !InRange(dstQuad)) {
        return 0;
    }
    const Rect area = IntersectClip(clip);
    if (area.IsEmpty()) {
        return 0;
    }
    int order[4] = {0, 1, 2, 3};
    std::stable_sort(order, order + 4,
                     [&](int a, int b) { return QuadCornerCompare(dstQuad[a], dstQuad[b]); });
    const int top = order[0];
    const int bottom = order[3];
    // The corner opposite the top one cannot come second on an outline that
    // runs down on both sides; such a quad is folded and is not drawn.
    if (order[1] == kOpposite[top]) {
        return 0;
    }
    const QuadPoint& t = dstQuad[top];
    const QuadPoint& a = dstQuad[kCycle[(kCyclePos[top] + 1) & 3]];
    const QuadPoint& b = dstQuad[kCycle[(kCyclePos[top] + 3) & 3]];
    const int64_t cross = (int64_t{a.x} - t.x) * (int64_t{b.y} - t.y) - (int64_t{a.y} - t.y) * (int64_t{b.x} - t.x);
    // Rows grow downwards: a positive cross product puts a on the right.
    const int leftDirection = cross > 0 ? -1 : 1;
    const Chain left = WalkChain(top, bottom, leftDirection);
    const Chain right = WalkChain(top, bottom, -leftDirection);
    const int d = flag == 0 ? 1 : 0;

    const Rect& source = *src->GetRect();
    const uint32_t key = src->GetColorKey();
    const int64_t y0 = std::max<int64_t>(t.y, area.top);
    const int64_t y1 = std::min<int64_t>(dstQuad[bottom].y, area.bottom);
    for (int64_t y = y0; y < y1; ++y) {
        Crossing l, r;
        if (!CrossAt(left, dstQuad, srcQuad, d, y, &l) || !CrossAt(right, dstQuad, srcQuad, d, y, &r)) {
            continue;
        }
        // Pixels whose centre lies between the crossings: ceil(x - 1/2).
        const int64_t xl = -((kOne / 2 - l.x) >> kFrac);
        const int64_t xr = -((kOne / 2 - r.x) >> kFrac);
        const int64_t span = xr - xl;
        if (span <= 0) {
            continue;
        }
        const int64_t div = span - d;
        const int64_t du = div > 0 ? (r.u - l.u) / div : 0;
        const int64_t dv = div > 0 ? (r.v - l.v) / div : 0;
        const int64_t x0 = std::max<int64_t>(xl, area.left);
        const int64_t x1 = std::min<int64_t>(xr, area.right);
        // Flag 1 samples at pixel centres, half a step in.
        int64_t u = l.u + (x0 - xl) * du + (d ? 0 : du / 2);
        int64_t v = l.v + (x0 - xl) * dv + (d ? 0 : dv / 2);
        uint32_t* row = GetRow(static_cast<int>(y));
        for (int64_t x = x0; x < x1; ++x, u += du, v += dv) {
            const int64_t sx = u >> kFrac;
            const int64_t sy = v >> kFrac;
            if (sx < source.left || sx >= source.right || sy < source.top || sy >= source.bottom) {
                continue;
            }
            const uint32_t pixel = src->GetRow(static_cast<int>(sy))[sx];
            if (!keyed || pixel != key) {
                row[x] = pixel;
            }
        }
    }
    return 0;
}

int CSoftPlaneImpl::BltQuadColorKey(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const QuadPoint* dstQuad,
                                    const Rect* clip, int flag)
{
    return BltQuadCore(src, srcQuad, dstQuad, clip, flag, true);
}

int CSoftPlaneImpl::BltQuadColorKeyFromRect(CSoftPlaneImpl* src, const Rect* srcRect, const QuadPoint* dstQuad,
                                            const Rect* clip)
{
    if (src == nullptr) {
        return 0;
    }
    QuadPoint quad[4];
    QuadFromRect(srcRect ? *srcRect : *src->GetRect(), true, quad);
    return BltQuadCore(src, quad, dstQuad, clip, 0, true);
}

int CSoftPlaneImpl::BltQuadColorKeyToRect(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const Rect* dstRect,
                                          const Rect* clip)
{
    QuadPoint quad[4];
    QuadFromRect(dstRect ? *dstRect : rect_, false, quad);
    return BltQuadCore(src, srcQuad, quad, clip, 1, true);
}

int CSoftPlaneImpl::BltQuad(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const QuadPoint* dstQuad,
                            const Rect* clip, int flag)
{
    return BltQuadCore(src, srcQuad, dstQuad, clip, flag, false);
}

int CSoftPlaneImpl::BltQuadFromRect(CSoftPlaneImpl* src, const Rect* srcRect, const QuadPoint* dstQuad,
                                    const Rect* clip)
{
    if (src == nullptr) {
        return 0;
    }
    QuadPoint quad[4];
    QuadFromRect(srcRect ? *srcRect : *src->GetRect(), false, quad);
    return BltQuadCore(src, quad, dstQuad, clip, 1, false);
}

int CSoftPlaneImpl::BltQuadToRect(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const Rect* dstRect,
                                  const Rect* clip)
{
    if (dstRect == nullptr) {
        return 0;
    }
    QuadPoint quad[4];
    QuadFromRect(*dstRect, false, quad);
    return BltQuadCore(src, srcQuad, quad, clip, 1, false);
}

int CSoftPlaneImpl::RotateCore(CSoftPlaneImpl* src, const Rect* srcRect, int x, int y, int angle, int scale,
                               int pivot, const Rect* clip, bool keyed)
{
    if (src == nullptr) {
        return 0;
    }
    BuildCosTable(nullptr);
    int w = 0, h = 0;
    if (srcRect) {
        w = srcRect->Width();
        h = srcRect->Height();
    } else {
        src->GetSize(&w, &h);
    }
    const int64_t sw = MulDiv(w, scale, 0x10000);
    const int64_t sh = MulDiv(h, scale, 0x10000);
    const int64_t corner[4][2] = {{x, y}, {x + sw, y}, {x, y + sh}, {x + sw, y + sh}};
    int64_t ox = 0, oy = 0;
    switch (pivot) {
    case 1: ox = sw; break;
    case 2: oy = sh; break;
    case 3: ox = sw; oy = sh; break;
    case 4: ox = sw >> 1; oy = sh >> 1; break;
    default: break;
    }
    const int64_t px = x + ox;
    const int64_t py = y + oy;
    // Any angle: the table index wraps on 512 steps (unsigned, so no overflow).
    const int64_t c = gCosTable[(0u - static_cast<unsigned>(angle)) & 511u];
    const int64_t s = gCosTable[(0u - 128u - static_cast<unsigned>(angle)) & 511u];
    // Out-of-range results are held just past the limit, so the quad blit
    // refuses them instead of wrapping into the picture.
    auto limit = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, -kMaxQuadCoord - 1, kMaxQuadCoord + 1));
    };
    QuadPoint quad[4];
    for (int i = 0; i < 4; ++i) {
        const int64_t dx = corner[i][0] - px;
        const int64_t dy = corner[i][1] - py;
        quad[i] = {limit(((c * dx - s * dy) >> 16) + px), limit(((c * dy + s * dx) >> 16) + py)};
    }
    return keyed ? BltQuadColorKeyFromRect(src, srcRect, quad, clip) : BltQuadFromRect(src, srcRect, quad, clip);
}

int CSoftPlaneImpl::RotateBltColorKey(CSoftPlaneImpl* src, const Rect* srcRect, int x, int y, int angle, int scale,
                                      int pivot, const Rect* clip)
{
    return RotateCore(src, srcRect, x, y, angle, scale, pivot, clip, true);
}

int CSoftPlaneImpl::RotateBlt(CSoftPlaneImpl* src, const Rect* srcRect, int x, int y, int angle, int scale,
                              int pivot, const Rect* clip)
{
    return RotateCore(src, srcRect, x, y, angle, scale, pivot, clip, false);
}
