#pragma once
// Windows icon files (".ico"): a 6-byte directory header (0, type 1, the
// image count) and a 16-byte entry per image (size and offset of its data).
// Each image is either a PNG file or a BMP without its file header whose
// stated height covers two stacked bitmaps: the colours, then a 1-bit AND
// mask whose set bits mark transparent pixels.
//
// The picture shown is the one the system's picture loader would pick: the
// largest image, and of equally large ones the deepest. Every offset and size
// of the directory is hostile: an entry whose data lies outside the file or
// does not read is passed over for the next best one.
#include <cstddef>
#include <cstdint>

class CDIBImage;

// True when data[0, size) begins like an icon directory (0, 1, at least one
// image); says nothing of whether its images read.
bool HasIcoSignature(const uint8_t* data, size_t size);

// Reads the picked image into `image` as 32 bits per pixel with straight
// alpha (0xAARRGGBB): a PNG image keeps its alpha; a 32-bit BMP image keeps
// its fourth bytes unless all of them are 0, in which case (as for every
// shallower BMP image) alpha is 0 where the AND mask is set and 0xFF
// elsewhere. False, with the image empty and the picture failure reason set,
// when no image of the file reads.
bool ReadIcoPicture(const uint8_t* data, size_t size, CDIBImage* image);
