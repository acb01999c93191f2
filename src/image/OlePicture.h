#pragma once
// The pictures the general picture decoder reads in place of the system's
// OLE picture loader besides JPEG: the first frame of a GIF and the picked
// image of an icon (image/IcoReader.h). They are told by their signatures.
//
// A picture is drawn as that loader rendered a transparent picture onto the
// cleared DIB section the decoder draws into: a fully transparent pixel (a
// GIF's transparent index, an icon's masked pixel) comes out fully clear, 0;
// an icon's partly transparent pixel is its colour scaled by its alpha, as
// blended over that black. The plane's colour key, taken from the pixel at
// (0, 0), is therefore black (0x000000) for a picture whose top-left pixel is
// transparent.
#include <cstddef>
#include <cstdint>
#include <memory>

struct DibView;

class OlePicture {
public:
    virtual ~OlePicture() = default;
    // The picture's size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Draws the picture at (0, 0) into the target, cut at its edges, as
    // 0x00RRGGBB (fourth byte 0); target pixels past the picture are left as
    // they are. False for data that turns out corrupt while drawing (the
    // target may then be partly written).
    virtual bool Draw(const DibView& target) = 0;
};

// The picture in data[0, size), by its signature ("GIF87a" or "GIF89a"; an
// icon directory); null when neither reader takes it. The data must stay
// alive as long as the picture (a GIF is decoded from it when drawn).
std::unique_ptr<OlePicture> OpenOlePicture(const uint8_t* data, size_t size);
