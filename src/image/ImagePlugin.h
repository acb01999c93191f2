#pragma once
// The calling shape of image plug-ins: shared objects named
// "spi/if<extension>.spi" (the extension in lower case as the file name gives
// it) beside the program, exporting these three C functions. The two blocks
// that GetPicture hands back are allocated with malloc by the plug-in and
// freed with free by the program.
#include <cstdint>

extern "C" {

#pragma pack(push, 1)
struct PluginPictureInfo {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    uint16_t xDensity;
    uint16_t yDensity;
    int16_t colorDepth;
    void* text;  // not used by the program
};
#pragma pack(pop)

// Non-zero when the plug-in reads this picture; called with a null file name
// and the file image (at least 2048 bytes of it).
using PluginIsSupported = int (*)(const char* fileName, const void* data);
// 0 on success; flag 1: buf is the file image of `length` bytes.
using PluginGetPictureInfo = int (*)(const void* buf, long length, unsigned flag, PluginPictureInfo* info);
using PluginProgress = int (*)(int done, int total, long user);
// 0 on success; *info receives a BITMAPINFO (40-byte header and colour
// table), *bits the DIB bits, both malloc'ed.
using PluginGetPicture = int (*)(const void* buf, long length, unsigned flag, void** info, void** bits,
                                 PluginProgress progress, long user);

}
