#include "image/PictureResult.h"

const char* ToString(PictureCopyResult result)
{
    switch (result) {
    case kPictureCopied: return "copied";
    case kPictureCopyNotBmp: return "not a BMP";
    case kPictureCopyCompressed: return "a compressed BMP";
    case kPictureCopyNot24Bits: return "not 24 bits per pixel";
    case kPictureCopyDataOutside: return "pixel data outside the file";
    }
    return "unknown";
}

const char* ToString(PicturePaletteResult result)
{
    switch (result) {
    case kPaletteMade: return "palette made";
    case kPaletteNotBmp: return "not a BMP";
    case kPaletteTooManyBits: return "more than 8 bits per pixel";
    }
    return "unknown";
}

const char* ToString(PictureJpegResult result)
{
    switch (result) {
    case kJpegOpened: return "opened";
    case kJpegNoData: return "no data";
    case kJpegUnreadable: return "not a readable RGB JPEG, GIF or icon";
    }
    return "unknown";
}

const char* ToString(DibLoadResult result)
{
    switch (result) {
    case kDibLoaded: return "loaded";
    case kDibUnreadable: return "cannot be read";
    case kDibNotDecodable: return "no decoder takes it";
    case kDibBadSize: return "size out of range";
    case kDibDrawFailed: return "drawing failed";
    }
    return "unknown";
}
