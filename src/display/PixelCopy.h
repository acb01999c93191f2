#pragma once
// Small pixel helpers shared by the kernels.
#include <cstdint>
#include <cstring>

// Copies the three bytes of a 24-bit pixel.
inline void CopyPixel24(uint8_t* dst, const uint8_t* src)
{
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
}

// The same, byte 2 first (for walks that run backwards over a row).
inline void CopyPixel24Desc(uint8_t* dst, const uint8_t* src)
{
    dst[2] = src[2];
    dst[1] = src[1];
    dst[0] = src[0];
}

// The same as one 16-bit word, then the third byte.
inline void CopyPixel24W(uint8_t* dst, const uint8_t* src)
{
    uint16_t w;
    std::memcpy(&w, src, 2);
    std::memcpy(dst, &w, 2);
    dst[2] = src[2];
}

// Writes b, g, r, 255 (formats 7 and 12).
inline void SetPixelBGRA(uint8_t* pixel, int r, int g, int b)
{
    pixel[0] = static_cast<uint8_t>(b);
    pixel[1] = static_cast<uint8_t>(g);
    pixel[2] = static_cast<uint8_t>(r);
    pixel[3] = 255;
}

// Writes r, g, b, 255 (formats 8 and 13).
inline void SetPixelRGBA(uint8_t* pixel, int r, int g, int b)
{
    pixel[0] = static_cast<uint8_t>(r);
    pixel[1] = static_cast<uint8_t>(g);
    pixel[2] = static_cast<uint8_t>(b);
    pixel[3] = 255;
}
