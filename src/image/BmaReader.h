#pragma once
// The "bma" picture format: a 24-byte header (little-endian int32 at 4 the
// width, at 8 the height, at 12 non-zero for LZSS-compressed pixels, at 16
// the stated pixel bytes) followed by 32-bit pixels, top-down. Every number
// of the header is hostile: the reader checks them against the caps and the
// bytes present before anything is allocated, and never reads past the file.
#include <cstddef>
#include <cstdint>

#include "image/SoftPlaneLoadResult.h"

struct BmaHeader {
    int32_t width = 0;
    int32_t height = 0;
    bool compressed = false;
    uint32_t stated = 0;            // pixel bytes the header promises
    const uint8_t* pixels = nullptr;  // the data after the header
    size_t available = 0;           // bytes of it in the file

    // Bytes of a picture of this size (width x height x 4).
    size_t Capacity() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * 4; }
};

// Reads and checks the header of data[0, size): kBmaLoaded, kBmaUnreadable
// (header short), kBmaBadSize (outside the caps) or kBmaBadData (a picture
// the bytes present could never fill, or a stated size of 0, over the
// picture or, stored, over the file). Sets the picture failure reason.
BmaLoadResult ReadBmaHeader(const uint8_t* data, size_t size, BmaHeader* out);

// Writes the pixels into `pixels` (header.Capacity() bytes, rows top-down,
// 4 bytes a pixel); bytes the data does not cover become 0. kBmaLoaded, or
// kBmaBadData when the LZSS data ends early.
BmaLoadResult ReadBmaPixels(const BmaHeader& header, uint8_t* pixels);
