#include "image/DisplacementMap.h"

#include "image/ImageLimits.h"

DisplacementMap::DisplacementMap(int width, int height)
{
    // Bounded like a picture, so the entry count cannot overflow.
    if (!IsPictureSizeValid(width, height)) {
        return;
    }
    width_ = width;
    height_ = height;
    entries_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    rows_.resize(static_cast<std::size_t>(height));
    for (int v = 0; v < height; ++v) {
        rows_[static_cast<std::size_t>(v)] = entries_.data() + static_cast<std::size_t>(v) * static_cast<std::size_t>(width);
    }
}
