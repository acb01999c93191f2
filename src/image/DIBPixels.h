#pragma once
// Pixel access shared by CDIBImage's conversion and resampling: row strides
// and packed 1-, 4- and 8-bit indices (most significant bits first).
#include <cstdint>

namespace dib {

inline int64_t StrideOf(int64_t bitCount, int64_t width) { return ((bitCount * width + 31) >> 3) & ~int64_t{3}; }

inline bool IsSupportedBitCount(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// Index of pixel x in a row of 1, 4 or 8 bits (most significant bits first).
inline uint32_t IndexAt(const uint8_t* row, int x, int bitCount)
{
    switch (bitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    default: return row[x];
    }
}

inline void SetIndexAt(uint8_t* row, int x, int bitCount, uint32_t index)
{
    switch (bitCount) {
    case 1: {
        uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>(index ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
        break;
    }
    case 4: {
        int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
        break;
    }
    default: row[x] = static_cast<uint8_t>(index); break;
    }
}

}  // namespace dib
