#pragma once
// What a software plane's Load returns; the numbers depend on the path the
// file's extension chose, so each path has its own enum. The values convert
// to int (Load returns the path's code as an int).

// "bma" pictures.
enum BmaLoadResult : int {
    kBmaLoaded = 0,
    kBmaUnreadable = 1,     // the file does not read, or its header is short
    kBmaBadSize = 2,        // the size is outside the caps, or the plane was not made
    kBmaBadData = 3,        // stated size 0 or over the picture, or fewer bytes than stated
};

// "png" and "bmp" pictures, read by the picture readers.
enum ReaderLoadResult : int {
    kReaderLoaded = 0,
    kReaderRejected = 1,    // the reader refused the file (it has said why)
    kReaderNoPlane = 2,     // the plane of the picture's size was not made
};

// Other pictures, through the general picture decoder.
enum DecoderLoadResult : int {
    kDecoderLoaded = 0,
    kDecoderRejected = 1,   // unreadable, or no decoder takes it
    kDecoderNoSize = 2,
    kDecoderNoPlane = 3,
    kDecoderDrawFailed = 4, // the plane is empty again
};

const char* ToString(BmaLoadResult result);
const char* ToString(ReaderLoadResult result);
const char* ToString(DecoderLoadResult result);
