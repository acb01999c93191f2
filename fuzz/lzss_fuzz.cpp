// The two entry decoders on arbitrary streams: the first two bytes give the
// output size, the rest is the stream. Decoding must stay inside both buffers
// and stop at the output size.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "frame/DxorDecode.h"
#include "frame/LzssDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    size_t outputSize = static_cast<size_t>(data[0]) | (static_cast<size_t>(data[1]) << 8);
    const uint8_t* stream = data + 2;
    size_t streamSize = size - 2;
    // Exact-size heap buffers so ASan sees any write past the output.
    std::vector<uint8_t> out(outputSize);
    uint8_t* target = out.data();
    LzssDecode().Decode(stream, streamSize, &target, outputSize, false);
    uint8_t* allocated = nullptr;
    if (LzssDecode().Decode(stream, streamSize, &allocated, outputSize, true) == LzssDecode::kOk) {
        delete[] allocated;
    }
    DxorDecode().Decode(stream, streamSize, out.data(), outputSize);
    return 0;
}
