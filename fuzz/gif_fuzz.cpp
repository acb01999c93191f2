// GIF files held in memory through the general decoder's GIF reader (giflib's
// record reader under our own bounds).
#include "OlePictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DrawOlePicture(data, size);
    return 0;
}
