// CFastPlane::PatternBlendBltFast: the constant-alpha blend with its factor
// read per pixel from a 16 x 16 pattern anchored to the source plane.
#include <cstdint>

#include "display/FastPlane.h"
#include "display/PlaneLock.h"
#include "raster/BlendStep.h"
#include "raster/RasterPairs.h"

namespace {

// The pattern cell of each source pixel the walk reads. The walk hands over
// only the pixel's address, so its row is found from the address once per
// source row (one division a row) and its column from the offset in the row.
template <class S>
class PatternCursor {
public:
    PatternCursor(const SurfaceView& src, const uint8_t* pattern) : base_(src.pixels), pitch_(src.pitch), pattern_(pattern) {}

    uint8_t WeightAt(const uint8_t* s)
    {
        const intptr_t offset = s - base_;
        if (rowCells_ == nullptr || offset < rowOffset_ || offset >= rowOffset_ + pitch_) {
            const intptr_t row = offset / pitch_;
            rowOffset_ = row * pitch_;
            rowCells_ = pattern_ + (row & 15) * 16;
        }
        const intptr_t column = (offset - rowOffset_) / S::kBytes;
        return rowCells_[column & 15];
    }

private:
    const uint8_t* base_;
    intptr_t pitch_;
    const uint8_t* pattern_;
    intptr_t rowOffset_ = 0;
    const uint8_t* rowCells_ = nullptr;  // null until the first pixel looks its row up
};

template <class D, class S>
int PatternPlanes(CFastPlane& dst, CFastPlane& src, int x, int y, const uint8_t* pattern, const Rect* srcRect,
                  const Size* dstSize, const Rect* clip)
{
    PatternCursor<S> cursor(src.GetSurfaceView(), pattern);
    WalkPlanes<D::kBytes, S::kBytes>(dst, src, x, y, srcRect, dstSize, clip,
                                     [&cursor](uint8_t* d, const uint8_t* s) {
                                         raster::BlendStep<D, S>(d, s, cursor.WeightAt(s));
                                     },
                                     nullptr);
    return kPlaneDone;
}

template <int Result>
int Answer(CFastPlane&, CFastPlane&, int, int, const uint8_t*, const Rect*, const Size*, const Rect*)
{
    return Result;
}

using PatternFn = int (*)(CFastPlane&, CFastPlane&, int, int, const uint8_t*, const Rect*, const Size*, const Rect*);

// Equal screen formats 3-8 and the cross pairs draw; other equal codes
// (the alpha formats among them) draw nothing and answer done; any other
// pair answers 1.
constexpr PairTable<PatternFn> kPatternKernels(&Answer<kPlaneNotLocked>, [](auto d, auto s, PatternFn* slot) {
    using D = decltype(d);
    using S = decltype(s);
    if constexpr (D::kCode == S::kCode) {
        if constexpr (D::kCode >= pixfmt::k565 && D::kCode <= pixfmt::kRGBX32) *slot = &PatternPlanes<D, S>;
        else *slot = &Answer<kPlaneDone>;
    } else if constexpr (pixfmt::IsCrossPair(D::kCode, S::kCode)) {
        *slot = &PatternPlanes<D, S>;
    }
});

}  // namespace

int CFastPlane::PatternBlendBltFast(CFastPlane* src, int x, int y, const uint8_t* pattern, const Rect* srcRect,
                                    const Size* dstSize, const Rect* clip)
{
    // Without a pattern there is no weight to read: nothing is drawn.
    if (pattern == nullptr) {
        return kPlaneNotLocked;
    }
    return DrawPair(kPatternKernels, this, src, x, y, pattern, srcRect, dstSize, clip);
}
