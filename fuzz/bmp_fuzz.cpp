// BMP files held in memory through the DIB reader, its 32-bit conversion and
// its scaling (down to a single pixel and up), as the picture loader uses them.
#include <cstddef>
#include <cstdint>

#include "image/DIBImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CDIBImage image;
    if (!image.LoadBMPFromMemory(data, size, kBmpAnyDepth)) {
        return 0;
    }
    int w = image.Width();
    if (image.ConvertBitCount(32, 0)) {
        image.Scale(w > 1 ? w / 2 : 1, 1);
        image.Scale(3, 2);
    }
    return 0;
}
