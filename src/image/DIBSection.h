#pragma once
// CDIBSection: the memory picture that text drawing and the general picture
// decoder write into, in place of a GDI DIB section with its memory DC: an
// aligned block of top-down 32-bit pixels (0x00RRGGBB, bytes blue, green, red,
// fourth) seen through a DibView.
#include <cstdint>
#include <memory>
#include <string>

#include "image/PictureResult.h"

// A writable view of 32-bit pixels: rows top-down, `pitch` bytes apart.
// Null pixels means "no picture" (drawing into it fails).
struct DibView {
    uint32_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;

    uint32_t* Row(int y) const
    {
        return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels) + static_cast<intptr_t>(y) * pitch);
    }
};

class CDIBSection {
public:
    CDIBSection();
    ~CDIBSection();
    CDIBSection(const CDIBSection&) = delete;
    CDIBSection& operator=(const CDIBSection&) = delete;

    // Makes a cleared (all zero) picture; only 32 bits per pixel is offered.
    // 0 on success, 1 for a bad size or depth (the previous picture is gone).
    int Create(int width, int height, int bitsPerPixel = 32);
    // Reads the named file through CFile, decodes it with a decoder from
    // gPictureDecoderFactory and draws it into a new picture of its size.
    DibLoadResult LoadPicture(const std::string& name, int bitsPerPixel = 32);
    // Frees the pixels.
    void Release();

    // 0 and the size, or 1 (outputs untouched) when no picture exists.
    int GetSize(int* width, int* height) const;
    // The pixels (null view without a picture); valid until Release/Create.
    DibView GetView() const { return view_; }
    uint32_t* GetBits() const { return view_.pixels; }

private:
    std::unique_ptr<uint8_t[]> block_;
    DibView view_;
};
