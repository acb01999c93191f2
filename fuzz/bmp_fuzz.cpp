// BMP files held in memory through the DIB reader, its depth conversions and
// its scaling (down to a single pixel and up), as the picture loader uses them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/DIBImage.h"

namespace {

// RLE8 is the one form where a few bytes may rightly stand for a picture of
// any size up to the readers' cap (an end-of-bitmap code leaves the rest
// blank), so the reader allocates what the header says. The target runs
// under -malloc_limit_mb=64; it leaves such large RLE8 pictures out rather
// than report the allowed allocation as a fault.
constexpr int64_t kMaxRlePixels = int64_t{1} << 21;

bool IsLargeRle8(const uint8_t* data, size_t size)
{
    if (size < 54) {
        return false;
    }
    auto le32 = [data](size_t at) {
        return static_cast<int32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16 | uint32_t{data[at + 3]} << 24);
    };
    return le32(30) == 1 && std::abs(int64_t{le32(18)}) * std::abs(int64_t{le32(22)}) > kMaxRlePixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (IsLargeRle8(data, size)) {
        return 0;
    }
    CDIBImage image;
    if (!image.LoadBMPFromMemory(data, size, kBmpAnyDepth)) {
        return 0;
    }
    const int w = image.Width();
    const int64_t pixels = int64_t{w} * std::abs(int64_t{image.Height()});
    if (image.ConvertBitCount(32, 0)) {
        image.Scale(w > 1 ? w / 2 : 1, 1);
        image.Scale(3, 2);
    }
    // The other targets (dithering, error diffusion, median cut) on small pictures.
    if (pixels <= 4096) {
        const int targets[][2] = {{24, 0}, {16, 1}, {8, 1}, {8, 2}, {8, 0}, {4, 2}, {4, 0}, {1, 0}};
        for (const auto& t : targets) {
            CDIBImage again;
            if (again.LoadBMPFromMemory(data, size, kBmpAnyDepth)) {
                again.ConvertBitCount(t[0], t[1]);
            }
        }
    }
    return 0;
}
