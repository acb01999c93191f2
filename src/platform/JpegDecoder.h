#pragma once
// JPEG decoding for the general picture decoder, in place of the system's OLE
// picture loader. Works on a file image in memory; never ends the process and
// never prints: a corrupt or truncated file is a false result.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class JpegDecoder {
public:
    JpegDecoder();
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // Reads the header of the JPEG in data[0, size). The data is not copied
    // and must stay alive until Decode returns. False when it is not a JPEG,
    // is corrupt, holds no RGB colours (CMYK, YCCK), or its size is outside
    // the caps of the picture readers.
    bool Open(const uint8_t* data, size_t size);
    // The picture's size in pixels (0 before a successful Open).
    int Width() const;
    int Height() const;
    // Decodes into top-down 32-bit pixels 0x00RRGGBB (fourth byte 0), rows
    // `pitch` bytes apart, Width() x Height() of them. Open must have
    // succeeded. False for corrupt or truncated data (the pixels may then be
    // partly written).
    bool Decode(uint32_t* pixels, int pitch);

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace platform
