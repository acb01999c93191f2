// CDIBImage's BMP reader: a 14-byte file header and a 40-byte info header,
// uncompressed (1, 4, 8, 16 as 5-5-5, 24, 32 bits) or RLE8. Every field that
// decides an offset or a count is checked against the data before use.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "frame/File.h"
#include "image/ByteOrder.h"
#include "image/DIBImage.h"
#include "image/PictureFailure.h"

namespace {

int DepthBit(int bitCount)
{
    switch (bitCount) {
    case 1: return kBmpDepth1;
    case 4: return kBmpDepth4;
    case 8: return kBmpDepth8;
    case 16: return kBmpDepth16;
    case 24: return kBmpDepth24;
    case 32: return kBmpDepth32;
    default: return 0;
    }
}

// RLE8 into cleared 8-bit rows (y counts rows in file order). Runs, literals
// and deltas are cut at the row's end and the bitmap's; reading stops at the
// end of the input.
void DecodeRle8(const uint8_t* in, size_t size, uint8_t* bits, int width, int rows, int stride)
{
    size_t pos = 0;
    int64_t x = 0;
    int64_t y = 0;
    auto put = [&](uint8_t value) {
        if (x < width && y < rows) {
            bits[static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x)] = value;
        }
        ++x;
    };
    while (pos + 2 <= size && y < rows) {
        uint8_t count = in[pos];
        uint8_t value = in[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(value);
            continue;
        }
        if (value == 0) {  // end of line
            ++y;
            x = 0;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            if (pos + 2 > size) break;
            x += in[pos];
            y += in[pos + 1];
            pos += 2;
        } else {  // literal run of `value` bytes, padded to an even count
            size_t n = value;
            if (pos + n > size) n = size - pos;
            for (size_t i = 0; i < n; ++i) put(in[pos + i]);
            pos += n + (value & 1);
        }
    }
}

}  // namespace

bool CDIBImage::LoadBMP(const std::string& name, int depthMask)
{
    Free();
    CFile file;
    if (file.Load(name) != 0) {
        SetPictureFailure("cannot be read");
        return false;
    }
    return LoadBMPFromMemory(file.GetData(), file.GetSize(), depthMask);
}

bool CDIBImage::LoadBMPFromMemory(const uint8_t* data, size_t size, int depthMask, uint32_t bitsOffset)
{
    Free();
    if (data == nullptr || size < 54 || data[0] != 'B' || data[1] != 'M') {
        SetPictureFailure(size < 54 ? "BMP headers short" : "not a BMP file");
        return false;
    }
    const uint8_t* info = data + 14;
    if (ReadLe32(info) != 40) {
        SetPictureFailure("BMP info header of " + std::to_string(ReadLe32(info)) + " bytes (only 40 is read)");
        return false;  // version 4 and 5 headers are not read
    }
    BitmapInfoHeader h;
    h.biWidth = static_cast<int32_t>(ReadLe32(info + 4));
    h.biHeight = static_cast<int32_t>(ReadLe32(info + 8));
    h.biPlanes = ReadLe16(info + 12);
    h.biBitCount = ReadLe16(info + 14);
    h.biCompression = ReadLe32(info + 16);
    h.biSizeImage = ReadLe32(info + 20);
    h.biXPelsPerMeter = static_cast<int32_t>(ReadLe32(info + 24));
    h.biYPelsPerMeter = static_cast<int32_t>(ReadLe32(info + 28));
    h.biClrUsed = ReadLe32(info + 32);
    h.biClrImportant = ReadLe32(info + 36);
    const int bitCount = h.biBitCount;
    if ((DepthBit(bitCount) & depthMask) == 0) {
        SetPictureFailure("BMP of " + std::to_string(bitCount) + " bits per pixel");
        return false;
    }
    if (h.biCompression != kBiRgb && !(h.biCompression == kBiRle8 && bitCount == 8)) {
        SetPictureFailure("BMP compression " + std::to_string(h.biCompression));
        return false;
    }
    // Colours stated by the file; the table in memory always has 2^bpp
    // entries, those the file does not give stay black, so no index can run
    // past it. Entries beyond 2^bpp are skipped.
    uint64_t colours = bitCount <= 8 ? (h.biClrUsed != 0 ? h.biClrUsed : (1u << bitCount)) : 0;
    uint64_t tableEnd = 54 + colours * 4;
    if (tableEnd > size) {
        SetPictureFailure("BMP colour table past the end of the file");
        return false;
    }
    uint64_t offset = bitsOffset != 0 ? bitsOffset : tableEnd;
    if (offset > size) {
        SetPictureFailure("BMP pixel data past the end of the file");
        return false;
    }
    const uint8_t* in = data + offset;
    const size_t available = size - static_cast<size_t>(offset);
    const int rows = std::abs(h.biHeight);
    // Uncompressed pixels the file cannot hold are refused before the image
    // is allocated: a forged header must not cost memory first. (RLE8 rows can
    // legitimately be covered by a few bytes, so those keep the size cap only.)
    if (h.biCompression == kBiRgb && h.biWidth > 0) {
        const uint64_t bitsPerRow = uint64_t{static_cast<uint32_t>(bitCount)} * static_cast<uint32_t>(h.biWidth);
        const uint64_t stride = ((bitsPerRow + 31) >> 3) & ~uint64_t{3};
        const uint64_t need = stride * static_cast<uint64_t>(std::abs(int64_t{h.biHeight}));
        if (need > available) {
            SetPictureFailure("BMP pixel data short: " + std::to_string(available) + " of " + std::to_string(need) +
                              " bytes");
            return false;
        }
    }
    // The file's biSizeImage is the compressed size of RLE8 data.
    const size_t compressed = h.biSizeImage != 0 ? h.biSizeImage : available;
    if (h.biCompression != kBiRgb && compressed > available) {
        SetPictureFailure("BMP RLE8 data short: " + std::to_string(available) + " of " + std::to_string(compressed) +
                          " bytes");
        return false;
    }
    if (!Create(h.biWidth, h.biHeight, bitCount)) {
        SetPictureFailure("BMP size " + std::to_string(h.biWidth) + " x " + std::to_string(h.biHeight) +
                          " out of range");
        return false;
    }
    if (bitCount <= 8) {
        std::fill(colors_.begin(), colors_.end(), RgbQuad{});
        uint64_t stored = std::min<uint64_t>(colours, colors_.size());
        for (uint64_t i = 0; i < stored; ++i) {
            const uint8_t* q = data + 54 + i * 4;
            colors_[i] = RgbQuad{q[0], q[1], q[2], q[3]};
        }
    }
    if (h.biCompression == kBiRgb) {
        std::memcpy(bits_.data(), in, std::min(bits_.size(), available));  // equal sizes, checked above
    } else {
        DecodeRle8(in, compressed, bits_.data(), h.biWidth, rows, GetStride());
    }
    header_.biXPelsPerMeter = h.biXPelsPerMeter;
    header_.biYPelsPerMeter = h.biYPelsPerMeter;
    header_.biClrUsed = bitCount <= 8 ? static_cast<uint32_t>(colors_.size()) : 0;
    return true;
}
