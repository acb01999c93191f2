// CDIBImage: depth conversion to every target and resampling, against
// references written here from the formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <vector>

#include "ImageTestFiles.h"
#include "image/DIBImage.h"

namespace {

uint32_t ReadLe(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

// A 24-bit image of random colours (bottom-up).
void Random24(CDIBImage& image, int w, int h, uint32_t seed)
{
    EXPECT_TRUE(image.Create(w, h, 24));
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x) image.bits()[y * image.GetStride() + x] = static_cast<uint8_t>(rng());
}

struct Px {
    int r, g, b;
};

Px At24(const std::vector<uint8_t>& bits, int stride, int x, int y)
{
    const uint8_t* p = bits.data() + y * stride + 3 * x;
    return Px{p[2], p[1], p[0]};
}

int IndexOf(const CDIBImage& image, int x, int y)
{
    const uint8_t* row = image.bits() + y * image.GetStride();
    switch (image.BitCount()) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
    default: return row[x];
    }
}

std::vector<uint8_t> Copy(const CDIBImage& image)
{
    return std::vector<uint8_t>(image.bits(), image.bits() + image.GetStride() * std::abs(image.Height()));
}

// The offset of the first chunk of `type` in a PNG file (its length field).
size_t ChunkAt(const std::vector<uint8_t>& png, const char* type)
{
    for (size_t at = 8; at + 8 <= png.size();) {
        const uint32_t length = uint32_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::equal(type, type + 4, png.begin() + static_cast<ptrdiff_t>(at + 4)))
            return at;
        at += 12 + length;
    }
    return png.size();
}

TEST(DIBImage, png_checksum_errors_are_refused_unless_fuzzing_asks_to_ignore_them)
{
    const std::vector<uint8_t> good = ReadBytes(ImageDataPath("rgba8.png"));
    CDIBImage reference;
    ASSERT_TRUE(CDIBImage::LoadPNGFromMemory(good.data(), good.size(), &reference));
    const size_t idat = ChunkAt(good, "IDAT");
    ASSERT_LT(idat, good.size());
    const uint32_t length = uint32_t{good[idat]} << 24 | good[idat + 1] << 16 | good[idat + 2] << 8 | good[idat + 3];
    std::vector<uint8_t> badCrc = good;
    badCrc[idat + 8 + length] ^= 0x5A;  // the chunk's CRC
    std::vector<uint8_t> badAdler = good;
    badAdler[idat + 8 + length - 1] ^= 0x5A;  // the last byte of the zlib stream's Adler-32

    for (const auto* damaged : {&badCrc, &badAdler}) {
        CDIBImage image;
        EXPECT_FALSE(CDIBImage::LoadPNGFromMemory(damaged->data(), damaged->size(), &image))
            << "the game keeps refusing files whose checksums do not match";
        CDIBImage::SetPngChecksumsIgnored(true);
        const bool loaded = CDIBImage::LoadPNGFromMemory(damaged->data(), damaged->size(), &image);
        CDIBImage::SetPngChecksumsIgnored(false);
        ASSERT_TRUE(loaded) << "with checksums ignored the mutation must reach the decoder";
        const size_t bytes = static_cast<size_t>(reference.GetStride()) * std::abs(reference.Height());
        ASSERT_EQ(image.GetStride() * std::abs(image.Height()), static_cast<int>(bytes));
        EXPECT_TRUE(std::equal(image.bits(), image.bits() + bytes, reference.bits()))
            << "only the checksum was touched: the pixels are the same";
    }
}

}  // namespace

TEST(DIBImage, conversion_to_32_bits_sets_or_keeps_alpha)
{
    CDIBImage image;
    ASSERT_TRUE(image.LoadBMP(ImageDataPath("rgb24.bmp"), kBmpAnyDepth));
    ASSERT_TRUE(image.ConvertBitCount(32, 0));
    EXPECT_EQ(image.BitCount(), 32);
    std::vector<uint32_t> expected = ExpectedPixels("rgb24.bmp");
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(ReadLe(image.TopDownRow(y) + 4 * x), expected[y * 13 + x]) << "24 to 32 bits gives alpha 0xFF";
    CDIBImage withAlpha;
    ASSERT_TRUE(withAlpha.LoadBMP(ImageDataPath("rgba32.bmp"), kBmpAnyDepth));
    ASSERT_TRUE(withAlpha.ConvertBitCount(32, 0));
    expected = ExpectedPixels("rgba32.bmp");
    EXPECT_EQ(ReadLe(withAlpha.TopDownRow(3) + 4 * 5), expected[3 * 13 + 5]) << "32 to 32 bits keeps the alpha bytes";
    CDIBImage rle;
    ASSERT_TRUE(rle.LoadBMP(ImageDataPath("rle8.bmp"), kBmpAnyDepth));
    EXPECT_EQ(rle.header().biCompression, kBiRgb) << "RLE8 decodes to an uncompressed image";
    EXPECT_FALSE(rle.LoadBMP(ImageDataPath("rle8.bmp"), kBmpDepth24)) << "a depth outside the mask is refused";
    CDIBImage empty;
    EXPECT_FALSE(empty.ConvertBitCount(32, 0)) << "nothing to convert";
    EXPECT_FALSE(image.ConvertBitCount(12, 0)) << "12 bits is no target";
}

TEST(DIBImage, sixteen_bit_target_drops_or_carries_low_bits)
{
    for (int option : {0, 1}) {
        CDIBImage image;
        Random24(image, 9, 4, 3);
        std::vector<uint8_t> src = Copy(image);
        int stride = image.GetStride();
        ASSERT_TRUE(image.ConvertBitCount(16, option));
        for (int y = 0; y < 4; ++y) {
            int carry[3] = {0, 0, 0};
            for (int x = 0; x < 9; ++x) {
                Px p = At24(src, stride, x, y);
                int c[3] = {p.r, p.g, p.b};
                for (int k = 0; k < 3 && option == 1; ++k) {
                    c[k] = std::min(255, c[k] + carry[k]);
                    carry[k] = c[k] % 8;
                }
                int want = ((c[0] / 8) << 10) | ((c[1] / 8) << 5) | (c[2] / 8);
                const uint8_t* o = image.bits() + y * image.GetStride() + 2 * x;
                ASSERT_EQ(o[0] | (o[1] << 8), want) << "option " << option << " at " << x << "," << y;
            }
        }
    }
}

TEST(DIBImage, grey_targets_use_the_luminance_weights)
{
    for (int bits : {8, 4}) {
        CDIBImage image;
        Random24(image, 7, 3, 5);
        std::vector<uint8_t> src = Copy(image);
        int stride = image.GetStride();
        ASSERT_TRUE(image.ConvertBitCount(bits, 0));
        ASSERT_EQ(image.colors().size(), size_t(1) << bits);
        EXPECT_EQ(image.colors()[1].red, bits == 8 ? 1 : 17) << "grey ramp";
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) {
                Px p = At24(src, stride, x, y);
                int grey = (73 * p.r + 146 * p.g + 37 * p.b) >> 8;
                ASSERT_EQ(IndexOf(image, x, y), bits == 8 ? grey : grey >> 4)
                    << bits << "-bit grey, left pixel in the high nibble";
            }
    }
}

TEST(DIBImage, ordered_dither_picks_the_6x6x6_palette)
{
    const int d[64] = {0,  38, 9,  47, 2,  40, 11, 50, 25, 12, 35, 22, 27, 15, 37, 24, 6,  44, 3,  41, 8,  47,
                       5,  43, 31, 19, 28, 15, 34, 21, 31, 18, 1,  39, 11, 49, 0,  39, 10, 48, 27, 14, 36, 23,
                       26, 13, 35, 23, 7,  46, 4,  43, 7,  45, 3,  42, 33, 20, 30, 17, 32, 19, 29, 16};
    CDIBImage image;
    Random24(image, 10, 9, 8);
    std::vector<uint8_t> src = Copy(image);
    int stride = image.GetStride();
    ASSERT_TRUE(image.ConvertBitCount(8, 1));
    EXPECT_EQ(image.colors()[215].red, 255);
    EXPECT_EQ(image.colors()[215].blue, 255);
    EXPECT_EQ(image.colors()[7].green, 51) << "entry 7 = (51 * 1, 51 * 1, 0)";
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 10; ++x) {
            Px p = At24(src, stride, x, y);
            int t = d[(x % 8) * 8 + y % 8];
            auto level = [t](int c) { return c / 51 + (c % 51 > t ? 1 : 0); };
            ASSERT_EQ(IndexOf(image, x, y), 36 * level(p.b) + 6 * level(p.g) + level(p.r)) << x << "," << y;
        }
}

TEST(DIBImage, stucki_diffusion_gives_black_and_white)
{
    const int w = 11, h = 6;
    CDIBImage image;
    Random24(image, w, h, 13);
    std::vector<uint8_t> src = Copy(image);
    int stride = image.GetStride();
    ASSERT_TRUE(image.ConvertBitCount(1, 0));
    ASSERT_EQ(image.colors().size(), 2u);
    EXPECT_EQ(image.colors()[1].green, 255);
    // The same diffusion written out with a full error plane.
    std::vector<std::vector<int>> err(h + 2, std::vector<int>(w + 4, 0));
    const int row0[2] = {8, 4}, row1[5] = {2, 4, 8, 4, 2}, row2[5] = {1, 2, 4, 2, 1};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Px p = At24(src, stride, x, y);
            int v = (73 * p.r + 146 * p.g + 37 * p.b) / 256 + err[y][x + 2] / 42;
            int out = v >= 128 ? 255 : 0;
            ASSERT_EQ(IndexOf(image, x, y), out ? 1 : 0) << "pixel " << x << "," << y;
            int e = v - out;
            for (int k = 0; k < 2; ++k) err[y][x + 3 + k] += e * row0[k];
            for (int k = 0; k < 5; ++k) {
                err[y + 1][x + k] += e * row1[k];
                err[y + 2][x + k] += e * row2[k];
            }
        }
}

TEST(DIBImage, median_cut_keeps_few_colours_exact_and_never_exceeds_the_count)
{
    const Px colours[5] = {{255, 0, 0}, {0, 200, 10}, {5, 5, 250}, {128, 128, 128}, {250, 250, 0}};
    CDIBImage image;
    ASSERT_TRUE(image.Create(12, 5, 24));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x) {
            uint8_t* p = image.bits() + y * image.GetStride() + 3 * x;
            const Px& c = colours[(x + y) % 5];
            p[0] = static_cast<uint8_t>(c.b);
            p[1] = static_cast<uint8_t>(c.g);
            p[2] = static_cast<uint8_t>(c.r);
        }
    ASSERT_TRUE(image.ConvertBitCount(4, 2));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x) {
            const RgbQuad& q = image.colors()[static_cast<size_t>(IndexOf(image, x, y))];
            const Px& c = colours[(x + y) % 5];
            ASSERT_EQ(q.red, c.r) << "five colours in a 16-colour palette come back exactly";
            ASSERT_EQ(q.green, c.g);
            ASSERT_EQ(q.blue, c.b);
        }
    CDIBImage noisy;
    Random24(noisy, 40, 30, 21);
    std::vector<uint8_t> src = Copy(noisy);
    int stride = noisy.GetStride();
    ASSERT_TRUE(noisy.ConvertBitCount(8, 2));
    ASSERT_EQ(noisy.colors().size(), 256u);
    double error = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            Px p = At24(src, stride, x, y);
            const RgbQuad& q = noisy.colors()[static_cast<size_t>(IndexOf(noisy, x, y))];
            error += std::abs(p.r - q.red) + std::abs(p.g - q.green) + std::abs(p.b - q.blue);
        }
    EXPECT_LT(error / (40 * 30 * 3), 40.0) << "a 256-colour palette of random colours must stay near each pixel";
}

TEST(DIBImage, scale_uses_smoothstep_weights_and_ends_on_the_last_pixel)
{
    CDIBImage image;
    ASSERT_TRUE(image.Create(100, 100, 32));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            uint8_t* p = image.bits() + y * image.GetStride() + 4 * x;
            p[0] = static_cast<uint8_t>(x * 2);
            p[1] = static_cast<uint8_t>(y * 2);
            p[2] = static_cast<uint8_t>(x + y);
            p[3] = static_cast<uint8_t>(255 - x);
        }
    std::vector<uint8_t> src = Copy(image);
    ASSERT_TRUE(image.Scale(50, 50));
    auto taps = [](int oldSize, int newSize, int i, int* index, int* w1) {
        double dx = double(oldSize - 1) / (newSize - 1);
        double pos = i * dx;
        *index = int(pos);
        double f = pos - *index;
        *w1 = int(f * f * (3 - 2 * f) * 256);
        if (i == newSize - 1) {
            *index = oldSize - 2;
            *w1 = 256;
        }
    };
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            int cx, wx, cy, wy;
            taps(100, 50, x, &cx, &wx);
            taps(100, 50, y, &cy, &wy);
            for (int k = 0; k < 4; ++k) {
                auto s = [&](int xx, int yy) { return src[yy * 400 + xx * 4 + k]; };
                int a = s(cx, cy) * (256 - wx) + s(cx + 1, cy) * wx;
                int b = s(cx, cy + 1) * (256 - wx) + s(cx + 1, cy + 1) * wx;
                ASSERT_EQ(image.bits()[y * image.GetStride() + 4 * x + k], (a * (256 - wy) + b * wy) >> 16)
                    << "byte " << k << " of (" << x << ", " << y << ")";
            }
        }
    EXPECT_EQ(image.bits()[10 * image.GetStride() + 49 * 4], 99 * 2) << "the last column comes from source column 99";

    CDIBImage one;
    ASSERT_TRUE(one.Create(1, 1, 32));
    one.bits()[0] = 77;
    ASSERT_TRUE(one.Scale(3, 2)) << "scaling from a single pixel must not read index -1";
    EXPECT_EQ(one.bits()[4 * 2], 77);
    ASSERT_TRUE(image.Scale(1, 1)) << "scaling to a single pixel must not divide by zero";
    EXPECT_FALSE(image.Scale(0, 4)) << "a 0 size is refused";
    CDIBImage pal;
    ASSERT_TRUE(pal.LoadBMP(ImageDataPath("pal4.bmp"), kBmpAnyDepth));
    ASSERT_TRUE(pal.Scale(26, 14)) << "4-bit pictures take the nearest pixel";
    EXPECT_EQ(pal.BitCount(), 4);
}
