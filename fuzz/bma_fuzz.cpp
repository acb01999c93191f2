// "bma" pictures held in memory: the header's size and stated data length
// are hostile; the reader must stay inside the file and the picture.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/BmaReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BmaHeader header;
    if (ReadBmaHeader(data, size, &header) != kBmaLoaded) {
        return 0;
    }
    // Exactly the picture's bytes, so ASan catches a write past them.
    std::vector<uint8_t> pixels(header.Capacity());
    ReadBmaPixels(header, pixels.data());
    return 0;
}
