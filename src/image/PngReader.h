#pragma once
// The PNG reader on libpng: decodes a PNG file image to 32-bit B, G, R, A
// rows (RGB, grey and palette pictures get alpha 0xFF; RGBA and tRNS
// transparency keep their alpha; the alpha of grey with alpha is dropped;
// 16-bit samples become 8-bit) straight into rows its caller provides once
// the picture's size is known, so no whole-picture buffer lies between the
// file and the caller's picture.
#include <cstddef>
#include <cstdint>

// Where the reader puts the picture.
class PngRowTarget {
public:
    virtual ~PngRowTarget() = default;
    // Room for width x height 32-bit pixels: the top row's address, and in
    // *pitch the bytes from one row to the next (negative for bottom-up
    // pictures). Null refuses the picture (the reader then fails).
    virtual uint8_t* Rows(int width, int height, ptrdiff_t* pitch) = 0;
};

// Decodes the PNG in data[0, size) into the target's rows. False (with the
// picture failure set, and the rows possibly partly written) for anything
// that is not a whole, valid PNG within the picture caps.
bool DecodePng(const uint8_t* data, size_t size, PngRowTarget* target);
