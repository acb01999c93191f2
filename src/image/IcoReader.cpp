// The icon reader: picks an image from the directory and hands its data to
// the PNG or BMP reader; only the AND mask is read here.
#include "image/IcoReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/ByteOrder.h"
#include "image/DIBImage.h"
#include "image/ImageLimits.h"
#include "image/PictureFailure.h"

namespace {

constexpr size_t kDirectoryBytes = 6;
constexpr size_t kEntryBytes = 16;
constexpr size_t kBmpFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// One image of the directory, as its own header describes it.
struct IconImage {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool png = false;
    int64_t area = 0;
    int depth = 0;
};

uint32_t ReadBe32(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

// Bits per pixel of a PNG's colour type at a sample depth (0 for an unknown type).
int PngDepth(int sampleBits, int colourType)
{
    switch (colourType) {
    case 0: return sampleBits;        // grey
    case 2: return sampleBits * 3;    // RGB
    case 3: return sampleBits;        // palette
    case 4: return sampleBits * 2;    // grey with alpha
    case 6: return sampleBits * 4;    // RGB with alpha
    default: return 0;
    }
}

// Size and depth from the image's own header (the directory's bytes are only
// a hint: a width of 0 there means 256, and many writers leave the depth 0).
// False when the data holds no header that reads.
bool DescribeImage(const uint8_t* data, size_t size, IconImage* image)
{
    image->data = data;
    image->size = size;
    int64_t width = 0;
    int64_t height = 0;
    if (size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0) {
        // The signature, then the IHDR chunk: length, "IHDR", width, height, depth, colour type.
        if (size < 8 + 8 + 13 || std::memcmp(data + 12, "IHDR", 4) != 0) {
            return false;
        }
        image->png = true;
        width = ReadBe32(data + 16);
        height = ReadBe32(data + 20);
        image->depth = PngDepth(data[24], data[25]);
    } else {
        if (size < kInfoHeaderBytes || ReadLe32(data) != kInfoHeaderBytes) {
            return false;
        }
        width = static_cast<int32_t>(ReadLe32(data + 4));
        // The stated height covers the colour bitmap and the mask below it.
        height = static_cast<int32_t>(ReadLe32(data + 8)) / 2;
        image->depth = ReadLe16(data + 14);
    }
    if (!IsPictureSizeValid(width, height) || image->depth <= 0) {
        return false;
    }
    image->area = width * height;
    return true;
}

// Where the AND mask of a BMP-coded image lies: behind the header, the colour
// table and the colour rows; its rows are 1 bit a pixel, padded to 4 bytes.
struct AndMask {
    const uint8_t* bits = nullptr;
    uint64_t stride = 0;
};

// False when the mask reaches past the image's data.
bool FindAndMask(const IconImage& icon, int bitCount, uint32_t tableColours, int width, int rows, AndMask* mask)
{
    const uint64_t colourStride =
        ((uint64_t{static_cast<uint32_t>(bitCount)} * static_cast<uint32_t>(width) + 31) >> 3) & ~uint64_t{3};
    mask->stride = ((static_cast<uint64_t>(width) + 31) / 32) * 4;
    const uint64_t at = kInfoHeaderBytes + uint64_t{tableColours} * 4 + colourStride * static_cast<uint64_t>(rows);
    if (at + mask->stride * static_cast<uint64_t>(rows) > icon.size) {
        SetPictureFailure("icon AND mask past the end of its image");
        return false;
    }
    mask->bits = icon.data + at;
    return true;
}

// Set bits of the mask are transparent. `image` is the colour bitmap already
// at 32 bits, stored in the same bottom-up row order as the mask.
void ApplyAndMask(const AndMask& mask, CDIBImage* image)
{
    const int width = image->Width();
    const int rows = std::abs(image->Height());
    const size_t stride = static_cast<size_t>(image->GetStride());
    for (int y = 0; y < rows; ++y) {
        const uint8_t* bits = mask.bits + static_cast<uint64_t>(y) * mask.stride;
        uint8_t* pixel = image->bits() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const bool clear = (bits[x >> 3] >> (7 - (x & 7))) & 1;
            pixel[4 * x + 3] = clear ? 0x00 : 0xFF;
        }
    }
}

// True when some pixel of a 32-bit image has a non-zero fourth byte: an icon
// whose alpha bytes are all 0 was made before icons had alpha, and its mask
// decides what shows.
bool HasAlpha(const CDIBImage& image)
{
    const size_t stride = static_cast<size_t>(image.GetStride());
    const int rows = std::abs(image.Height());
    for (int y = 0; y < rows; ++y) {
        const uint8_t* row = image.bits() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < image.Width(); ++x) {
            if (row[4 * x + 3] != 0) {
                return true;
            }
        }
    }
    return false;
}

// A BMP image: given to the BMP reader behind a file header of our own, with
// the height of the colour bitmap alone; then the mask.
bool ReadBmpImage(const IconImage& icon, CDIBImage* image)
{
    const int bitCount = ReadLe16(icon.data + 14);
    const uint32_t compression = ReadLe32(icon.data + 16);
    if (compression != kBiRgb) {
        SetPictureFailure("icon image compression " + std::to_string(compression));
        return false;
    }
    std::vector<uint8_t> file(kBmpFileHeaderBytes + icon.size);
    file[0] = 'B';
    file[1] = 'M';
    std::memcpy(file.data() + kBmpFileHeaderBytes, icon.data, icon.size);
    uint8_t* info = file.data() + kBmpFileHeaderBytes;
    WriteLe32(info + 8, static_cast<uint32_t>(static_cast<int32_t>(ReadLe32(icon.data + 8)) / 2));
    WriteLe32(info + 20, 0);  // the stated image size covers the mask too
    if (!image->LoadBMPFromMemory(file.data(), file.size(), kBmpAnyDepth)) {
        return false;  // the reader has said why
    }
    // Where the BMP reader found the bits: right behind the colours the header states.
    const uint32_t clrUsed = ReadLe32(icon.data + 32);
    const uint32_t tableColours = bitCount <= 8 ? (clrUsed != 0 ? clrUsed : (1u << bitCount)) : 0;
    AndMask mask;
    if (!FindAndMask(icon, bitCount, tableColours, image->Width(), std::abs(image->Height()), &mask) ||
        !image->ConvertBitCount(32, 0)) {
        return false;
    }
    if (bitCount != 32 || !HasAlpha(*image)) {
        ApplyAndMask(mask, image);
    }
    return true;
}

bool ReadImage(const IconImage& icon, CDIBImage* image)
{
    bool ok = icon.png ? CDIBImage::LoadPNGFromMemory(icon.data, icon.size, image) : ReadBmpImage(icon, image);
    if (!ok) {
        image->Free();
    }
    return ok;
}

}  // namespace

bool HasIcoSignature(const uint8_t* data, size_t size)
{
    return data != nullptr && size >= kDirectoryBytes && ReadLe16(data) == 0 && ReadLe16(data + 2) == 1 &&
           ReadLe16(data + 4) != 0;
}

bool ReadIcoPicture(const uint8_t* data, size_t size, CDIBImage* image)
{
    image->Free();
    if (!HasIcoSignature(data, size)) {
        SetPictureFailure("not an icon file");
        return false;
    }
    const size_t count = ReadLe16(data + 4);
    if (kDirectoryBytes + count * kEntryBytes > size) {
        SetPictureFailure("icon directory of " + std::to_string(count) + " images past the end of the file");
        return false;
    }
    std::vector<IconImage> images;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + kDirectoryBytes + i * kEntryBytes;
        const uint64_t bytes = ReadLe32(entry + 8);
        const uint64_t offset = ReadLe32(entry + 12);
        IconImage icon;
        if (offset + bytes <= size && DescribeImage(data + offset, static_cast<size_t>(bytes), &icon)) {
            images.push_back(icon);
        }
    }
    // Largest first, then deepest; equal ones keep the directory's order.
    std::stable_sort(images.begin(), images.end(), [](const IconImage& a, const IconImage& b) {
        return a.area != b.area ? a.area > b.area : a.depth > b.depth;
    });
    for (const IconImage& icon : images) {
        if (ReadImage(icon, image)) {
            return true;
        }
    }
    if (images.empty()) {
        SetPictureFailure("no image of the icon lies inside the file");
    }
    return false;
}
