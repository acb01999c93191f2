// Icon files held in memory: the directory, the choice of image, and the BMP
// and PNG readers under it with the AND mask.
#include "OlePictureFuzz.h"
#include "image/DIBImage.h"

// As for the png target: a mutated PNG-coded image would otherwise stop at
// its checksums.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CDIBImage::SetPngChecksumsIgnored(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DrawOlePicture(data, size);
    return 0;
}
