#include "image/DIBImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/DIBPixels.h"
#include "image/ImageLimits.h"

using namespace dib;

namespace {

// One axis of the resampling tables: source indices i0 and i1 (= i0 + 1 inside
// the source) with the weights of a smoothstep between them.
struct ScaleTap {
    int i0, i1;
    int w0, w1;
};

std::vector<ScaleTap> ScaleTaps(int oldSize, int newSize)
{
    std::vector<ScaleTap> taps(static_cast<size_t>(newSize));
    // A 1-pixel target takes the last source pixel (the forced last entry);
    // a 1-pixel source is read at index 0 only.
    double dx = newSize > 1 ? static_cast<double>(oldSize - 1) / (newSize - 1) : 0.0;
    for (int i = 0; i < newSize; ++i) {
        double pos = i * dx;
        int index = static_cast<int>(pos);
        double f = pos - index;
        int w1 = static_cast<int>(f * f * (3 - 2 * f) * 256);
        taps[static_cast<size_t>(i)] = {index, std::min(index + 1, oldSize - 1), 256 - w1, w1};
    }
    taps.back() = {std::max(oldSize - 2, 0), oldSize - 1, 0, 256};
    return taps;
}

}  // namespace

CDIBImage::CDIBImage() = default;

CDIBImage::~CDIBImage() = default;

bool CDIBImage::Create(int width, int height, int bitCount)
{
    Free();
    int64_t rows = std::abs(static_cast<int64_t>(height));
    if (!IsSupportedBitCount(bitCount) || !IsPictureSizeValid(width, rows)) {
        return false;
    }
    int64_t bytes = StrideOf(bitCount, width) * rows;
    header_ = BitmapInfoHeader{};
    header_.biWidth = width;
    header_.biHeight = height;
    header_.biBitCount = static_cast<uint16_t>(bitCount);
    header_.biSizeImage = static_cast<uint32_t>(bytes);
    if (bitCount <= 8) {
        colors_.assign(size_t{1} << bitCount, RgbQuad{});
        SetGrayPalette();
    }
    bits_.assign(static_cast<size_t>(bytes), 0);
    return true;
}

void CDIBImage::Free()
{
    header_ = BitmapInfoHeader{};
    colors_.clear();
    bits_.clear();
    bits_.shrink_to_fit();
}

int CDIBImage::GetStride() const { return static_cast<int>(StrideOf(header_.biBitCount, header_.biWidth)); }

void CDIBImage::SetGrayPalette()
{
    int bitCount = header_.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8) {
        return;
    }
    int count = 1 << bitCount;
    colors_.resize(static_cast<size_t>(count));
    int step = 255 / (count - 1);
    for (int i = 0; i < count; ++i) {
        uint8_t v = static_cast<uint8_t>(i * step);
        colors_[static_cast<size_t>(i)] = RgbQuad{v, v, v, 0};
    }
}

const uint8_t* CDIBImage::TopDownRow(int y) const
{
    int rows = std::abs(header_.biHeight);
    int stored = header_.biHeight > 0 ? rows - 1 - y : y;
    return bits_.data() + static_cast<size_t>(stored) * static_cast<size_t>(GetStride());
}

bool CDIBImage::CopyFromDib(const BitmapInfoHeader& header, const RgbQuad* table, const uint8_t* bits)
{
    if (header.biCompression != kBiRgb || bits == nullptr ||
        !Create(header.biWidth, header.biHeight, header.biBitCount)) {
        Free();
        return false;
    }
    if (header.biBitCount <= 8 && table != nullptr) {
        uint32_t count = header.biClrUsed != 0 ? header.biClrUsed : (1u << header.biBitCount);
        count = std::min<uint32_t>(count, 1u << header.biBitCount);
        std::fill(colors_.begin(), colors_.end(), RgbQuad{});
        std::copy(table, table + count, colors_.begin());
    }
    std::memcpy(bits_.data(), bits, bits_.size());
    return true;
}

bool CDIBImage::Scale(int newWidth, int newHeight)
{
    const int oldWidth = header_.biWidth;
    const int oldRows = std::abs(header_.biHeight);
    const int bitCount = header_.biBitCount;
    if (bits_.empty() || !IsPictureSizeValid(newWidth, newHeight)) {
        return false;
    }
    const int64_t newStride = StrideOf(bitCount, newWidth);
    const int oldStride = GetStride();
    std::vector<uint8_t> out(static_cast<size_t>(newStride * newHeight));
    std::vector<ScaleTap> cols = ScaleTaps(oldWidth, newWidth);
    std::vector<ScaleTap> rows = ScaleTaps(oldRows, newHeight);
    auto srcRow = [&](int r) { return bits_.data() + static_cast<size_t>(r) * static_cast<size_t>(oldStride); };
    const int bytes = bitCount / 8;
    for (int y = 0; y < newHeight; ++y) {
        const ScaleTap& ry = rows[static_cast<size_t>(y)];
        uint8_t* o = out.data() + static_cast<size_t>(y) * static_cast<size_t>(newStride);
        const uint8_t* r0 = srcRow(ry.i0);
        const uint8_t* r1 = srcRow(ry.i1);
        for (int x = 0; x < newWidth; ++x) {
            const ScaleTap& cx = cols[static_cast<size_t>(x)];
            if (bitCount <= 8) {
                // The nearer source pixel in both directions.
                const uint8_t* row = ry.w0 < 128 ? r1 : r0;
                int sx = cx.w0 < 128 ? cx.i1 : cx.i0;
                SetIndexAt(o, x, bitCount, IndexAt(row, sx, bitCount));
                continue;
            }
            for (int k = 0; k < bytes; ++k) {
                int a = r0[cx.i0 * bytes + k] * cx.w0 + r0[cx.i1 * bytes + k] * cx.w1;
                int b = r1[cx.i0 * bytes + k] * cx.w0 + r1[cx.i1 * bytes + k] * cx.w1;
                o[x * bytes + k] = static_cast<uint8_t>((a * ry.w0 + b * ry.w1) >> 16);
            }
        }
    }
    header_.biWidth = newWidth;
    header_.biHeight = header_.biHeight < 0 ? -newHeight : newHeight;
    header_.biSizeImage = static_cast<uint32_t>(out.size());
    bits_ = std::move(out);
    return true;
}
