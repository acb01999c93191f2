#pragma once
// The size caps of every picture reader, kept here because the platform's
// codecs (JPEG, GIF) sit below the image subsystem that applies the same caps
// (image/ImageLimits.h takes them from here). Sizes come from file headers:
// they are checked in 64 bits before anything is allocated.
#include <cstdint>

namespace platform {

// No picture of a game comes near this; 16384 keeps width * 4 far inside int.
constexpr int kPictureMaxSide = 16384;
// 256 MiB of 32-bit pixels (8192 x 8192).
constexpr int64_t kPictureMaxBytes = int64_t{256} << 20;

// True when a 32-bit picture of width x height may be allocated.
inline bool IsPictureSizeAllowed(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= kPictureMaxSide && height <= kPictureMaxSide &&
           width * height * 4 <= kPictureMaxBytes;
}

}  // namespace platform
