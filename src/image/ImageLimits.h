#pragma once
// Size caps that every picture reader and plane applies before it allocates.
// Sizes come from file headers, so they are checked in 64 bits against these
// caps instead of being trusted: a hostile header must not overflow
// width * height * 4 or make the program allocate gigabytes. The numbers are
// the platform's, whose JPEG and GIF codecs apply them too.
#include <cstdint>

#include "platform/PictureCaps.h"

// No picture of the game comes near this; 16384 keeps width * 4 far inside int.
constexpr int kMaxPictureSide = platform::kPictureMaxSide;
// 256 MiB of 32-bit pixels (8192 x 8192).
constexpr int64_t kMaxPictureBytes = platform::kPictureMaxBytes;

// True when a 32-bit picture of width x height may be allocated.
inline bool IsPictureSizeValid(int64_t width, int64_t height) { return platform::IsPictureSizeAllowed(width, height); }
