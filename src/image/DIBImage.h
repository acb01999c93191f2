#pragma once
// CDIBImage: a device-independent bitmap in memory (a 40-byte info header,
// its colour table and the pixel bits) that the picture loader reads PNG and
// BMP files into, converts to 32 bits per pixel and resamples.
//
// Rows are bottom-up for a positive height and top-down for a negative one,
// GetStride() bytes apart. Readers return false and leave the image empty on
// a bad signature, an unsupported header, a size over the caps of
// ImageLimits.h, short data or a libpng error; none of them prints anything.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;

// Bit-count masks of LoadBMP's depthMask.
constexpr int kBmpDepth1 = 0x01, kBmpDepth4 = 0x02, kBmpDepth8 = 0x04, kBmpDepth16 = 0x08, kBmpDepth24 = 0x10,
              kBmpDepth32 = 0x20, kBmpAnyDepth = 0x3F;

class CDIBImage {
public:
    CDIBImage();
    virtual ~CDIBImage();
    CDIBImage(const CDIBImage&) = delete;
    CDIBImage& operator=(const CDIBImage&) = delete;

    // Frees the image and makes an uncleared one (height sign kept: positive
    // bottom-up); 1, 4 and 8 bits get a grey colour table. False for a bit
    // count other than 1, 4, 8, 16, 24, 32 or a size over the caps.
    bool Create(int width, int height, int bitCount);
    void Free();
    bool HasBits() const { return !bits_.empty(); }
    // ((bitCount * width + 31) >> 3) & ~3.
    int GetStride() const;
    // The default grey ramp for 1, 4 or 8 bits (black/white, i * 17, i).
    void SetGrayPalette();

    // Reads a BMP file through CFile. depthMask: the kBmpDepth* bits allowed.
    bool LoadBMP(const std::string& name, int depthMask);
    // The same from memory. bitsOffset 0: the bits lie right behind the
    // colour table (the file header's offset is not consulted); otherwise at
    // that offset from the start of the data.
    bool LoadBMPFromMemory(const uint8_t* data, size_t size, int depthMask, uint32_t bitsOffset = 0);
    // Reads a PNG file through CFile into a 32-bit image (RGB, grey and palette
    // pictures get alpha 0xFF; RGBA and tRNS transparency keep their alpha; the
    // alpha of grey with alpha is dropped); 16-bit samples become 8-bit.
    static bool LoadPNG(const std::string& name, CDIBImage* image);
    static bool LoadPNGFromMemory(const uint8_t* data, size_t size, CDIBImage* image);
    // Fuzzing only: libpng then takes chunks with wrong CRCs and zlib streams
    // with a wrong Adler-32, so that mutated files reach the decoding instead
    // of stopping at the checksums. Off by default; the game never sets it.
    static void SetPngChecksumsIgnored(bool ignored);
    // Takes a copy of a DIB given as header, colour table and bits (as an image
    // plug-in hands them over). False for an unsupported header.
    bool CopyFromDib(const BitmapInfoHeader& header, const RgbQuad* table, const uint8_t* bits);

    // Converts the pixels to another bit count. Only the 32-bit target (alpha
    // 0xFF for every source below 32 bits, a 32-bit source kept) and the 24-bit
    // target are offered; false for others, or without bits.
    bool ConvertBitCount(int bitCount, int option);
    // Resamples to newWidth x newHeight (at least 1 each): nearest pixel below
    // 16 bits, smoothstep-weighted bilinear above. False without bits or for a
    // size over the caps.
    bool Scale(int newWidth, int newHeight);

    const BitmapInfoHeader& header() const { return header_; }
    const std::vector<RgbQuad>& colors() const { return colors_; }
    std::vector<RgbQuad>& colors() { return colors_; }
    const uint8_t* bits() const { return bits_.data(); }
    uint8_t* bits() { return bits_.data(); }
    int Width() const { return header_.biWidth; }
    int Height() const { return header_.biHeight; }
    int BitCount() const { return header_.biBitCount; }
    // The row that is y-th from the top, whatever the storage order.
    const uint8_t* TopDownRow(int y) const;

private:
    BitmapInfoHeader header_;
    std::vector<RgbQuad> colors_;
    std::vector<uint8_t> bits_;
};
