// PNG files held in memory through libpng into a 32-bit DIB, then scaled:
// rows must never be wider than the image whatever the chunks say.
#include <cstddef>
#include <cstdint>

#include "image/DIBImage.h"

// Mutations almost always break a chunk's CRC or the zlib checksum; libpng
// would stop there and the decoding behind it would never be reached.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CDIBImage::SetPngChecksumsIgnored(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CDIBImage image;
    if (CDIBImage::LoadPNGFromMemory(data, size, &image)) {
        image.Scale(2, 3);
    }
    return 0;
}
