#include "image/BmaReader.h"

#include <cstring>
#include <string>

#include "frame/LzssDecode.h"
#include "image/ByteOrder.h"
#include "image/ImageLimits.h"
#include "image/PictureFailure.h"

namespace {

constexpr size_t kBmaHeaderSize = 24;

int32_t LeInt32(const uint8_t* p) { return static_cast<int32_t>(ReadLe32(p)); }

std::string SizeText(int32_t width, int32_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

BmaLoadResult ReadBmaHeader(const uint8_t* data, size_t size, BmaHeader* out)
{
    if (data == nullptr || size < kBmaHeaderSize) {
        SetPictureFailure("bma header short");
        return kBmaUnreadable;
    }
    BmaHeader h;
    h.width = LeInt32(data + 4);
    h.height = LeInt32(data + 8);
    h.compressed = LeInt32(data + 12) != 0;
    h.stated = static_cast<uint32_t>(LeInt32(data + 16));
    h.pixels = data + kBmaHeaderSize;
    h.available = size - kBmaHeaderSize;
    if (!IsPictureSizeValid(h.width, h.height)) {
        SetPictureFailure("bma size " + SizeText(h.width, h.height) + " out of range");
        return kBmaBadSize;
    }
    const size_t capacity = h.Capacity();
    // A header is cheap to forge: a picture the bytes present could never
    // fill is refused before its plane is made, so a small file cannot make
    // us allocate hundreds of megabytes first.
    const uint64_t fillable = h.compressed ? LzssDecode::MaxOutput(h.available) : h.available;
    if (capacity > fillable) {
        SetPictureFailure("bma of " + SizeText(h.width, h.height) + " pixels, but only " +
                          std::to_string(h.available) + " bytes of data");
        return kBmaBadData;
    }
    // The stated size is not trusted either: never more than the picture
    // holds, never read past the file.
    if (h.stated == 0 || h.stated > capacity || (!h.compressed && h.stated > h.available)) {
        SetPictureFailure("bma pixel data of " + std::to_string(h.stated) + " bytes (the picture holds " +
                          std::to_string(capacity) + ", the file " + std::to_string(h.available) + ")");
        return kBmaBadData;
    }
    *out = h;
    return kBmaLoaded;
}

BmaLoadResult ReadBmaPixels(const BmaHeader& header, uint8_t* pixels)
{
    if (header.stated < header.Capacity()) {
        // What the file does not cover stays transparent black.
        std::memset(pixels, 0, header.Capacity());
    }
    if (!header.compressed) {
        std::memcpy(pixels, header.pixels, header.stated);
        return kBmaLoaded;
    }
    LzssDecode decoder;
    uint8_t* out = pixels;
    if (decoder.Decode(header.pixels, header.available, &out, header.stated, false) != LzssDecode::kOk) {
        SetPictureFailure("bma LZSS data ends before its " + std::to_string(header.stated) + " bytes");
        return kBmaBadData;
    }
    return kBmaLoaded;
}
