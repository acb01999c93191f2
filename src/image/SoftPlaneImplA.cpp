// Kernel set A: plain 32-bit integer code, one pixel at a time. The three
// colour channels are added or subtracted in one 32-bit operation with a mask
// of the channels that overflowed; the top byte lies outside the mask, so it
// wraps around instead of saturating (the set's documented difference).
#include "image/SoftPlaneColor.h"
#include "image/SoftPlaneKernelSets.h"
#include "image/SoftPlaneWalk.h"

namespace {

// 0xFF in every colour channel whose addition carried out of its byte.
inline uint32_t CarryMask(uint32_t a, uint32_t b)
{
    uint32_t carries = ((((a & b) << 1) + ((a ^ b) & 0xFEFEFEu)) & 0x1010100u) >> 8;
    return (carries + 0x7F7F7Fu) ^ 0x7F7F7Fu;
}

struct KernelSetA {
    using Copy = softops::Copy;
    using Half = softops::Half;
    using Rate = softops::Rate;
    using ClearAlpha = softops::ClearAlpha;
    using KeepAlpha = softops::KeepAlpha;

    struct Add {
        uint32_t operator()(uint32_t s, uint32_t d) const
        {
            uint32_t m = CarryMask(s, d);
            return (s + d - m) | m;
        }
    };
    struct Sub {
        uint32_t operator()(uint32_t s, uint32_t d) const
        {
            uint32_t m = CarryMask(s, ~d);
            return (d | m) - (s | m);
        }
    };
    // f(a) = a (256 at 255), g(a) = 255 - a (256 at 0): opaque and clear
    // pixels are exact, in between the weights add up to 255.
    struct Alpha {
        uint32_t operator()(uint32_t s, uint32_t d) const
        {
            uint32_t a = s >> 24;
            uint32_t f = a == 255 ? 256 : a;
            uint32_t g = a == 0 ? 256 : 255 - a;
            uint32_t out = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                uint32_t v = ((softops::Channel(s, shift) * f) >> 8) + ((softops::Channel(d, shift) * g) >> 8);
                out |= (v > 255 ? 255 : v) << shift;
            }
            return out;
        }
    };

    template <class Op>
    static softops::Keyed<Op> Keyed(Op op, uint32_t key) { return {op, key}; }
    template <class Op>
    static softops::KeyedRgb<Op> KeyedRgb(Op op, uint32_t key) { return {op, key}; }
};

}  // namespace

int CSoftPlaneImplA::RunKernel(SoftKernel kernel, bool mirror, CSoftPlaneImpl* src, int x, int y, Rates dstRate,
                               Rates srcRate, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    return RunSoftKernel<KernelSetA>(this, kernel, mirror, src, x, y, dstRate, srcRate, srcRect, dstSize, clip);
}

int CSoftPlaneImplA::AddColor(uint32_t colour, const Rect* rect)
{
    return RunColorKernel(this, KernelSetA::Add{}, colour, rect);
}

int CSoftPlaneImplA::SubColor(uint32_t colour, const Rect* rect)
{
    return RunColorKernel(this, KernelSetA::Sub{}, colour, rect);
}
