/* A small image plug-in for the tests: reads "xyz" pictures ("XYZP", width and
 * height as 32-bit little-endian, then rows top-down of 3 bytes red, green,
 * blue, the file padded to at least 2048 bytes) and hands them over as a
 * bottom-up 24-bit DIB, in the calling shape the program expects. A picture
 * that starts "XYZQ" is announced one pixel wider and taller than the DIB it
 * hands over, as a careless plug-in might. */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#pragma pack(push, 1)
struct PictureInfo {
    int32_t left, top, width, height;
    uint16_t xDensity, yDensity;
    int16_t colorDepth;
    void* text;
};
#pragma pack(pop)

/* How often IsSupported ran; the tests read it. */
int gIsSupportedCalls = 0;

static uint32_t le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24); }

int IsSupported(const char* name, const void* data)
{
    (void)name;
    ++gIsSupportedCalls;
    return memcmp(data, "XYZP", 4) == 0 || memcmp(data, "XYZQ", 4) == 0;
}

int GetPictureInfo(const void* buf, long length, unsigned flag, struct PictureInfo* info)
{
    const unsigned char* p = buf;
    if (flag != 1 || length < 12 || (memcmp(p, "XYZP", 4) != 0 && memcmp(p, "XYZQ", 4) != 0)) return 1;
    int32_t extra = memcmp(p, "XYZQ", 4) == 0;
    memset(info, 0, sizeof *info);
    info->width = (int32_t)le32(p + 4) + extra;
    info->height = (int32_t)le32(p + 8) + extra;
    info->colorDepth = 24;
    return 0;
}

int GetPicture(const void* buf, long length, unsigned flag, void** info, void** bits, void* progress, long user)
{
    const unsigned char* p = buf;
    (void)progress;
    (void)user;
    if (flag != 1 || length < 12 || (memcmp(p, "XYZP", 4) != 0 && memcmp(p, "XYZQ", 4) != 0)) return 1;
    uint32_t w = le32(p + 4), h = le32(p + 8);
    if (w == 0 || h == 0 || w > 4096 || h > 4096 || 12 + (long)(w * h * 3) > length) return 2;
    uint32_t stride = (w * 3 + 3) & ~3u;
    unsigned char* header = calloc(1, 40);
    unsigned char* out = calloc(1, (size_t)stride * h);
    uint32_t v40 = 40, planes_bpp = 1u | (24u << 16), size = stride * h;
    int32_t iw = (int32_t)w, ih = (int32_t)h;
    memcpy(header, &v40, 4);
    memcpy(header + 4, &iw, 4);
    memcpy(header + 8, &ih, 4);
    memcpy(header + 12, &planes_bpp, 4);
    memcpy(header + 20, &size, 4);
    for (uint32_t y = 0; y < h; ++y) {
        const unsigned char* in = p + 12 + (size_t)y * w * 3;
        unsigned char* row = out + (size_t)(h - 1 - y) * stride;
        for (uint32_t x = 0; x < w; ++x) {
            row[3 * x] = in[3 * x + 2];
            row[3 * x + 1] = in[3 * x + 1];
            row[3 * x + 2] = in[3 * x];
        }
    }
    *info = header;
    *bits = out;
    return 0;
}
