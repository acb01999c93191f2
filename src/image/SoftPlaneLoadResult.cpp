#include "image/SoftPlaneLoadResult.h"

const char* ToString(BmaLoadResult result)
{
    switch (result) {
    case kBmaLoaded: return "loaded";
    case kBmaUnreadable: return "unreadable or header short";
    case kBmaBadSize: return "size out of range";
    case kBmaBadData: return "pixel data bad";
    }
    return "unknown";
}

const char* ToString(ReaderLoadResult result)
{
    switch (result) {
    case kReaderLoaded: return "loaded";
    case kReaderRejected: return "the reader refused the file";
    case kReaderNoPlane: return "no plane of the picture's size";
    }
    return "unknown";
}

const char* ToString(DecoderLoadResult result)
{
    switch (result) {
    case kDecoderLoaded: return "loaded";
    case kDecoderRejected: return "no decoder takes the file";
    case kDecoderNoSize: return "the decoder gives no size";
    case kDecoderNoPlane: return "no plane of the picture's size";
    case kDecoderDrawFailed: return "drawing failed";
    }
    return "unknown";
}
