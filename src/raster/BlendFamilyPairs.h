#pragma once
// The pair rule that the blend, two-factor blend and add / subtract blits
// share, for filling their PairTables.
#include "display/PixelFormat.h"
#include "raster/RasterPairs.h"

namespace raster {

// For the pair (D, S): the kernel that make.template operator()<D, S>()
// returns for the same formats 3-8 and 10-13 and for the cross pairs; done
// for other equal codes (nothing drawn); other pairs keep the table's refusal.
template <class D, class S, class Fn, class Make>
constexpr void FillBlendFamilySlot(Fn* slot, Make make, Fn done)
{
    if constexpr (D::kCode == S::kCode) {
        if constexpr (HasSameFormatKernel(D::kCode) && D::kBytes != 1) {
            *slot = make.template operator()<D, S>();
        } else {
            *slot = done;
        }
    } else if constexpr (pixfmt::IsCrossPair(D::kCode, S::kCode)) {
        *slot = make.template operator()<D, S>();
    }
}

}  // namespace raster
