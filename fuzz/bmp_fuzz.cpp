// BMP files held in memory through the DIB reader, its depth conversions and
// its scaling (down to a single pixel and up), as the picture loader uses them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/DIBImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
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
