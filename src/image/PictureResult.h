#pragma once
// What the general picture decoder and the DIB picture's loading return. Each
// operation has its own codes, so each has its own enum; the values convert
// to int for callers that only test for 0.

// CPictureDecoder::CopyTo.
enum PictureCopyResult : int {
    kPictureCopied = 0,
    kPictureCopyNotBmp = 1,
    kPictureCopyCompressed = 2,
    kPictureCopyNot24Bits = 3,      // left to Draw
    kPictureCopyDataOutside = 4,    // the pixel data would lie past the file's end
};

// CPictureDecoder::GetPalette.
enum PicturePaletteResult : int {
    kPaletteMade = 0,
    kPaletteNotBmp = 1,
    kPaletteTooManyBits = 2,        // more than 8 bits per pixel: no colour table
};

// CPictureDecoder::LoadOlePicture (the JPEG reader, and the GIF and icon
// readers that answer in its codes).
enum PictureJpegResult : int {
    kJpegOpened = 0,
    kJpegNoData = 1,
    kJpegUnreadable = 2,            // no reader takes it: corrupt, too large, no RGB colours, no readable icon image
};

// CDIBSection::LoadPicture.
enum DibLoadResult : int {
    kDibLoaded = 0,
    kDibUnreadable = 1,             // the file does not read
    kDibNotDecodable = 2,           // no decoder takes it
    kDibBadSize = 3,
    kDibDrawFailed = 4,             // the section is then empty
};

const char* ToString(PictureCopyResult result);
const char* ToString(PicturePaletteResult result);
const char* ToString(PictureJpegResult result);
const char* ToString(DibLoadResult result);
