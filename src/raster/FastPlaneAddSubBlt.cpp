// Saturating add and subtract of a source plane: CFastPlane::AddColorBlt,
// AddColorBltFast, SubColorBlt, SubColorBltFast, their factor forms
// AddColorBltFastFade, SubColorBltFastFade and the keyed factor forms
// AddColorBltFade, SubColorBltFade. One step per pair (AddSubStep.h) serves
// all eight; the kernels differ only in the key test and the 16-bit rows.
#include <cstdint>
#include <type_traits>

#include "display/FastPlane.h"
#include "display/PlaneLock.h"
#include "raster/AddSubStep.h"
#include "raster/BlendFamilyPairs.h"
#include "raster/RasterPairs.h"

namespace {

// A 1:1 row of the unkeyed 16-bit screen pairs, two pixels per 32-bit word:
// a lone first pixel when the destination is not word aligned, then pairs,
// then a lone last pixel. Each half of a word is scaled on its own, so the
// row equals the one-pixel step on every pixel.
template <bool Is565, bool Add, bool Faded>
void Row16(uint8_t* d, const uint8_t* s, int n, int f)
{
    using namespace raster;
    using Fmt = std::conditional_t<Is565, pixfmt::Fmt565, pixfmt::Fmt555>;
    // A default capture: the unfaded form never reads f, and an explicit
    // capture of it would then be unused.
    auto scale = [=](uint32_t v) -> uint32_t {
        if constexpr (!Faded) return v;
        else return Is565 ? ScaleByLevel565(static_cast<uint16_t>(v), f >> 4)
                          : ScaleByLevel555(static_cast<uint16_t>(v), f >> 4);
    };
    if ((reinterpret_cast<uintptr_t>(d) & 2) != 0 && n > 0) {
        AddSubStep<Fmt, Fmt, Add, Faded>(d, s, f);
        d += 2;
        s += 2;
        --n;
    }
    for (; n >= 2; n -= 2, d += 4, s += 4) {
        const uint32_t sv = scale(pixfmt::Load16(s)) | (scale(pixfmt::Load16(s + 2)) << 16);
        const uint32_t dv = pixfmt::Load32(d);
        uint32_t r;
        if constexpr (Is565) r = Add ? AddPacked565x2(dv, sv) : SubPacked565x2(dv, sv);
        else r = Add ? AddPacked555x2(dv, sv) : SubPacked555x2(dv, sv);
        pixfmt::Store32(d, r);
    }
    if (n == 1) {
        AddSubStep<Fmt, Fmt, Add, Faded>(d, s, f);
    }
}

// The planes' kernel of one pair. f is the factor's low byte (Faded only).
template <class D, class S, bool Add, bool Keyed, bool Faded>
int AddSubPlanes(CFastPlane& dst, CFastPlane& src, int x, int y, int factor, const Rect* srcRect,
                 const Size* dstSize, const Rect* clip)
{
    const int f = factor & 0xFF;
    if constexpr (Keyed) {
        const uint32_t key = src.GetColorKey();
        WalkPlanes<D::kBytes, S::kBytes>(dst, src, x, y, srcRect, dstSize, clip,
                                         [f, key](uint8_t* d, const uint8_t* s) {
                                             if (!S::IsKey(S::Load(s), key)) {
                                                 raster::AddSubStep<D, S, Add, Faded>(d, s, f);
                                             }
                                         },
                                         nullptr);
    } else {
        auto step = [f](uint8_t* d, const uint8_t* s) { raster::AddSubStep<D, S, Add, Faded>(d, s, f); };
        if constexpr (D::kCode == S::kCode && D::kBytes == 2) {
            WalkPlanes<2, 2>(dst, src, x, y, srcRect, dstSize, clip, step, [f](uint8_t* d, const uint8_t* s, int n) {
                Row16<D::kCode == pixfmt::k565, Add, Faded>(d, s, n, f);
            });
        } else {
            WalkPlanes<D::kBytes, S::kBytes>(dst, src, x, y, srcRect, dstSize, clip, step, nullptr);
        }
    }
    return kPlaneDone;
}

template <int Result>
int Answer(CFastPlane&, CFastPlane&, int, int, int, const Rect*, const Size*, const Rect*)
{
    return Result;
}

using AddSubFn = int (*)(CFastPlane&, CFastPlane&, int, int, int, const Rect*, const Size*, const Rect*);

template <bool Add, bool Keyed, bool Faded>
constexpr PairTable<AddSubFn> kAddSubKernels(&Answer<kPlaneFormatPair>, [](auto d, auto s, AddSubFn* slot) {
    raster::FillBlendFamilySlot<decltype(d), decltype(s)>(
        slot, []<class D, class S>() { return &AddSubPlanes<D, S, Add, Keyed, Faded>; }, &Answer<kPlaneDone>);
});

}  // namespace

int CFastPlane::AddColorBlt(CFastPlane* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                            const Rect* clip)
{
    return DrawPair(kAddSubKernels<true, true, false>, this, src, x, y, 255, srcRect, dstSize, clip);
}

int CFastPlane::AddColorBltFast(CFastPlane* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                                const Rect* clip)
{
    return DrawPair(kAddSubKernels<true, false, false>, this, src, x, y, 255, srcRect, dstSize, clip);
}

int CFastPlane::SubColorBlt(CFastPlane* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                            const Rect* clip)
{
    return DrawPair(kAddSubKernels<false, true, false>, this, src, x, y, 255, srcRect, dstSize, clip);
}

int CFastPlane::SubColorBltFast(CFastPlane* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                                const Rect* clip)
{
    return DrawPair(kAddSubKernels<false, false, false>, this, src, x, y, 255, srcRect, dstSize, clip);
}

// A full factor is the plain operation, through this plane's own table, so
// an override of the plain one serves both.
int CFastPlane::AddColorBltFastFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect,
                                    const Size* dstSize, const Rect* clip)
{
    if ((factor & 0xFF) == 255) {
        return AddColorBltFast(src, x, y, srcRect, dstSize, clip);
    }
    return DrawPair(kAddSubKernels<true, false, true>, this, src, x, y, factor, srcRect, dstSize, clip);
}

int CFastPlane::AddColorBltFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect,
                                const Size* dstSize, const Rect* clip)
{
    if ((factor & 0xFF) == 255) {
        return AddColorBlt(src, x, y, srcRect, dstSize, clip);
    }
    return DrawPair(kAddSubKernels<true, true, true>, this, src, x, y, factor, srcRect, dstSize, clip);
}

int CFastPlane::SubColorBltFastFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect,
                                    const Size* dstSize, const Rect* clip)
{
    if ((factor & 0xFF) == 255) {
        return SubColorBltFast(src, x, y, srcRect, dstSize, clip);
    }
    return DrawPair(kAddSubKernels<false, false, true>, this, src, x, y, factor, srcRect, dstSize, clip);
}

int CFastPlane::SubColorBltFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect,
                                const Size* dstSize, const Rect* clip)
{
    if ((factor & 0xFF) == 255) {
        return SubColorBlt(src, x, y, srcRect, dstSize, clip);
    }
    return DrawPair(kAddSubKernels<false, true, true>, this, src, x, y, factor, srcRect, dstSize, clip);
}
