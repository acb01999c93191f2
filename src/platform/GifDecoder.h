#pragma once
// GIF decoding for the general picture decoder, in place of the system's OLE
// picture loader: the first frame of a GIF87a or GIF89a file. Works on a file
// image in memory; never prints: a corrupt or truncated file is a false
// result.
#include <cstddef>
#include <cstdint>

namespace platform {

class GifDecoder {
public:
    GifDecoder();
    ~GifDecoder();
    GifDecoder(const GifDecoder&) = delete;
    GifDecoder& operator=(const GifDecoder&) = delete;

    // Reads the GIF in data[0, size) up to its first frame's descriptor. The
    // data is not copied and must stay alive until Decode returns. False when
    // it is not a GIF, has no frame or no colour table for it, is corrupt
    // before the frame, or its size is outside the caps of the picture readers.
    bool Open(const uint8_t* data, size_t size);
    // The picture's size in pixels: the logical screen, grown to hold the
    // first frame where the frame reaches past it (0 before a successful Open).
    int Width() const;
    int Height() const;
    // Decodes the first frame into the top-left width x height pixels of a
    // top-down 32-bit picture 0x00RRGGBB (fourth byte 0), rows `pitch` bytes
    // apart; the rest of the frame is cut off. Pixels of the transparent
    // index and pixels outside the frame are fully clear (0). Open must have
    // succeeded. False for corrupt or truncated data (the pixels may then be
    // partly written).
    bool Decode(uint32_t* pixels, int pitch, int width, int height);

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace platform
