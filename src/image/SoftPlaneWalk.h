#pragma once
// The kernel frame shared by both kernel sets: walks the rectangle that
// PrepareBlt / PrepareBltEx left in the destination's work area and applies
// one per-pixel rule. A rule is a callable (source pixel, destination pixel)
// -> new destination pixel; it may also offer Row(d, s, n) for a 1:1 direct
// row (the SIMD set does). Keyed rules test the key themselves.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "image/SoftPlaneImpl.h"

template <class Op>
concept HasRowKernel = requires(const Op& op, uint32_t* d, const uint32_t* s, int n) { op.Row(d, s, n); };

template <class Op>
void WalkBlt(const BltWork& w, bool mirror, CSoftPlaneImpl* dst, const CSoftPlaneImpl* src, const Op& op)
{
    const int width = w.dr - w.dl;
    const int height = w.db - w.dt;
    if (w.same) {
        for (int j = 0; j < height; ++j) {
            uint32_t* d = dst->GetRow(w.dt + j) + w.dl;
            if (!mirror) {
                const uint32_t* s = src->GetRow(w.st + j) + w.sl;
                if constexpr (HasRowKernel<Op>) {
                    op.Row(d, s, width);
                } else {
                    for (int i = 0; i < width; ++i) {
                        d[i] = op(s[i], d[i]);
                    }
                }
            } else {
                const uint32_t* s = src->GetRow(w.st + j) + w.sr - 1;
                for (int i = 0; i < width; ++i) {
                    d[i] = op(*(s - i), d[i]);
                }
            }
        }
        return;
    }
    // Stretch: additions and one carry test per pixel; the clamps keep the
    // mirrored walk's last column and row inside the source.
    int row = w.y0;
    int ey = w.exY;
    for (int j = 0; j < height; ++j) {
        const uint32_t* s = src->GetRow(std::min(row, w.sb - 1));
        uint32_t* d = dst->GetRow(w.dt + j) + w.dl;
        int col = w.x0;
        int ex = w.exX;
        if (!mirror) {
            for (int i = 0; i < width; ++i) {
                d[i] = op(s[std::min(col, w.sr - 1)], d[i]);
                col += w.stepX;
                ex += w.remX;
                if (ex >= 0) {
                    ++col;
                    ex -= w.dwX;
                }
            }
        } else {
            for (int i = 0; i < width; ++i) {
                d[i] = op(s[std::max(col, w.sl)], d[i]);
                col -= w.stepX;
                ex += w.remX;
                if (ex >= 0) {
                    --col;
                    ex -= w.dwX;
                }
            }
        }
        row += w.stepY;
        ey += w.remY;
        if (ey >= 0) {
            ++row;
            ey -= w.dhY;
        }
    }
}

// ---- rules both sets share (the pixels are the same in A and B/C) ----------

namespace softops {

inline uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

struct Copy {
    uint32_t operator()(uint32_t s, uint32_t) const { return s; }
};

struct Half {
    uint32_t operator()(uint32_t s, uint32_t d) const { return (s & d) + (((s ^ d) >> 1) & 0x7F7F7Fu); }
};

// min(255, s * srcRate / 256 + d * dstRate / 256) per channel, top byte 0.
struct Rate {
    Rates dstRate;
    Rates srcRate;
    uint32_t operator()(uint32_t s, uint32_t d) const
    {
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            uint32_t v = ((Channel(s, shift) * Channel(srcRate, shift)) >> 8) +
                         ((Channel(d, shift) * Channel(dstRate, shift)) >> 8);
            out |= std::min<uint32_t>(v, 255) << shift;
        }
        return out;
    }
};

struct ClearAlpha {
    uint32_t operator()(uint32_t s, uint32_t) const { return s & 0xFFFFFFu; }
};

struct KeepAlpha {
    uint32_t operator()(uint32_t s, uint32_t d) const { return (s & 0xFFFFFFu) | (d & 0xFF000000u); }
};

// Blend by the source's alpha with per-channel factor tables built once per
// call from the rates: F(a) = a' * srcRate / 256, G(a) = 255 - a' * (255 -
// dstRate) / 256, a' = a except 256 for a = 255 (running sums with one extra
// step before the last entry).
struct AlphaRate {
    uint16_t f[256][3];
    uint16_t g[256][3];

    AlphaRate(Rates dstRate, Rates srcRate)
    {
        for (int c = 0; c < 3; ++c) {
            uint32_t sumF = 0;
            uint32_t sumG = 0;
            uint32_t stepF = Channel(srcRate, c * 8);
            uint32_t stepG = 255 - Channel(dstRate, c * 8);
            for (int a = 0; a < 256; ++a) {
                if (a == 255) {
                    sumF += stepF;
                    sumG += stepG;
                }
                f[a][c] = static_cast<uint16_t>(sumF >> 8);
                g[a][c] = static_cast<uint16_t>(255 - (sumG >> 8));
                sumF += stepF;
                sumG += stepG;
            }
        }
    }
    uint32_t operator()(uint32_t s, uint32_t d) const
    {
        uint32_t a = s >> 24;
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            uint32_t v = ((Channel(s, c * 8) * f[a][c]) >> 8) + ((Channel(d, c * 8) * g[a][c]) >> 8);
            out |= std::min<uint32_t>(v, 255) << (c * 8);
        }
        return out;
    }
};

// Colour-key wrappers: the whole 32-bit source pixel, or its low 24 bits.
template <class Op>
struct Keyed {
    Op op;
    uint32_t key;
    uint32_t operator()(uint32_t s, uint32_t d) const { return s == key ? d : op(s, d); }
};

template <class Op>
struct KeyedRgb {
    Op op;
    uint32_t key;
    uint32_t operator()(uint32_t s, uint32_t d) const { return (s & 0xFFFFFFu) == key ? d : op(s, d); }
};

}  // namespace softops

// Runs kernel k of a set. Set supplies the rules that differ between the
// sets (Add, Sub, Alpha) and may replace any shared rule by one with a Row.
template <class Set>
int RunSoftKernel(CSoftPlaneImpl* dst, SoftKernel k, bool mirror, CSoftPlaneImpl* src, int x, int y,
                  Rates dstRate, Rates srcRate, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    int empty = mirror ? dst->PrepareBltEx(src, x, y, srcRect, dstSize, clip)
                       : dst->PrepareBlt(src, x, y, srcRect, dstSize, clip);
    if (empty != 0) {
        return 0;
    }
    const BltWork& w = dst->work();
    const uint32_t key = src->GetColorKey();
    auto walk = [&](const auto& op) { WalkBlt(w, mirror, dst, src, op); };
    switch (k) {
    case SoftKernel::BltColorKey: walk(Set::Keyed(typename Set::Copy{}, key)); break;
    case SoftKernel::Blt: walk(typename Set::Copy{}); break;
    case SoftKernel::HalfBltColorKey: walk(Set::Keyed(typename Set::Half{}, key)); break;
    case SoftKernel::HalfBlt: walk(typename Set::Half{}); break;
    case SoftKernel::RateBltColorKey: walk(Set::Keyed(typename Set::Rate{dstRate, srcRate}, key)); break;
    case SoftKernel::RateBlt: walk(typename Set::Rate{dstRate, srcRate}); break;
    case SoftKernel::AddBltColorKey: walk(Set::Keyed(typename Set::Add{}, key)); break;
    case SoftKernel::AddBlt: walk(typename Set::Add{}); break;
    case SoftKernel::SubBltColorKey: walk(Set::Keyed(typename Set::Sub{}, key)); break;
    case SoftKernel::SubBlt: walk(typename Set::Sub{}); break;
    case SoftKernel::BltColorKeyClearAlpha: walk(Set::KeyedRgb(typename Set::ClearAlpha{}, key)); break;
    case SoftKernel::BltClearAlpha: walk(typename Set::ClearAlpha{}); break;
    case SoftKernel::AlphaRateBlt: {
        // About 3 KB of tables, rebuilt per call as the rates change.
        auto op = std::make_unique<softops::AlphaRate>(dstRate, srcRate);
        walk(*op);
        break;
    }
    case SoftKernel::AlphaBlt: walk(typename Set::Alpha{}); break;
    case SoftKernel::BltColorKeyKeepAlpha: walk(Set::Keyed(typename Set::KeepAlpha{}, key)); break;
    case SoftKernel::BltKeepAlpha: walk(typename Set::KeepAlpha{}); break;
    }
    return 0;
}
