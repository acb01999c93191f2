// "bma" pictures held in memory: the header's size and stated data length
// are hostile; the reader must stay inside the file and the plane.
#include <cstddef>
#include <cstdint>

#include "image/SoftPlane.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CSoftPlane plane;
    if (plane.GetImpl()->LoadBmaFromMemory(data, size) == 0) {
        int w = 0, h = 0;
        plane.GetSize(&w, &h);
        // Touch the last pixel so ASan checks the plane really is w x h.
        volatile uint32_t last = plane.GetImpl()->GetPixel(w - 1, h - 1);
        (void)last;
    }
    return 0;
}
