#include "raster/AlphaRamp.h"

#include <algorithm>

uint8_t* BuildAlphaRamp(uint8_t* table, int i0, int i1, int v0, int v1)
{
    // Later steps overwrite earlier ones: the flat start, the line, the flat end.
    if (i0 >= 0) {
        std::fill(table, table + std::min(i0, 255) + 1, static_cast<uint8_t>(v0));
    }
    const int64_t span = int64_t{i1} - i0;
    for (int64_t i = std::max<int64_t>(int64_t{i0} + 1, 0); i < i1 && i <= 255; ++i) {
        // i0 + 1 <= i < i1, so span is at least 2. Both factors of the
        // product may need 33 bits, so it is taken in 128.
        const __int128 v = v0 + static_cast<__int128>(int64_t{v1} - v0) * (i - i0) / span;
        table[i] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v));
    }
    const int s = std::max(i1, 0);
    if (s <= 255) {
        std::fill(table + s, table + 256, static_cast<uint8_t>(v1));
    }
    return table;
}
