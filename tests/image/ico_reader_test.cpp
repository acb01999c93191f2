// The icon reader: the picked image in straight alpha against ImageMagick's
// decoding (make_images.py), the mask and alpha rules, and hostile
// directories written inline.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ImageTestFiles.h"
#include "image/DIBImage.h"
#include "image/IcoReader.h"

namespace {

void PutLe16(std::vector<uint8_t>* v, size_t at, uint32_t x)
{
    (*v)[at] = static_cast<uint8_t>(x);
    (*v)[at + 1] = static_cast<uint8_t>(x >> 8);
}

void PutLe32(std::vector<uint8_t>* v, size_t at, uint32_t x)
{
    PutLe16(v, at, x & 0xFFFF);
    PutLe16(v, at + 2, x >> 16);
}

// A 32-bit BMP-coded icon image of w x h (at most 32 wide): pixels top-down
// as 0xAARRGGBB, mask rows top-down (bit 31 of each word is the left pixel).
std::vector<uint8_t> Bmp32Image(int w, int h, const std::vector<uint32_t>& pixels, const std::vector<uint32_t>& mask)
{
    std::vector<uint8_t> out(40);
    PutLe32(&out, 0, 40);
    PutLe32(&out, 4, static_cast<uint32_t>(w));
    PutLe32(&out, 8, static_cast<uint32_t>(2 * h));
    PutLe16(&out, 12, 1);
    PutLe16(&out, 14, 32);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x)
            for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(pixels[static_cast<size_t>(y) * w + x] >> (8 * b)));
    for (int y = h - 1; y >= 0; --y)
        for (int b = 3; b >= 0; --b) out.push_back(static_cast<uint8_t>(mask[static_cast<size_t>(y)] >> (8 * b)));
    return out;
}

// An icon file of the images, stored in order behind the directory.
std::vector<uint8_t> IconFile(const std::vector<std::vector<uint8_t>>& images)
{
    std::vector<uint8_t> out(6 + 16 * images.size());
    PutLe16(&out, 2, 1);
    PutLe16(&out, 4, static_cast<uint32_t>(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const size_t entry = 6 + 16 * i;
        PutLe32(&out, entry + 8, static_cast<uint32_t>(images[i].size()));
        PutLe32(&out, entry + 12, static_cast<uint32_t>(out.size()));
        out.insert(out.end(), images[i].begin(), images[i].end());
    }
    return out;
}

// The picture as top-down 0xAARRGGBB pixels.
std::vector<uint32_t> Pixels(const CDIBImage& image)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < std::abs(image.Height()); ++y) {
        const uint8_t* row = image.TopDownRow(y);
        for (int x = 0; x < image.Width(); ++x)
            out.push_back(row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) | (uint32_t(row[4 * x + 3]) << 24));
    }
    return out;
}

bool Read(const std::vector<uint8_t>& file, CDIBImage* image) { return ReadIcoPicture(file.data(), file.size(), image); }

// A 2 x 2 image: opaque red, green / blue, white; mask clear.
std::vector<uint8_t> GoodImage()
{
    return Bmp32Image(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}, {0, 0});
}

}  // namespace

TEST(IcoReader, picked_images_match_the_reference_in_straight_alpha)
{
    struct Case {
        const char* name;
        int width, height;
    };
    // depth*: BMP-coded with an AND mask; multi: the 48 x 40 image with every
    // alpha level among smaller ones; same_size: of three 32 x 32 images the
    // 32-bit one (entry 1), not the 8-bit one listed first; png*: PNG-coded.
    for (const Case& c : {Case{"depth1.ico", 32, 32}, Case{"depth4.ico", 32, 32}, Case{"depth8.ico", 32, 32},
                          Case{"multi.ico", 48, 40}, Case{"same_size.ico", 32, 32}, Case{"png256.ico", 256, 256},
                          Case{"png_entry.ico", 13, 7}}) {
        SCOPED_TRACE(c.name);
        CDIBImage image;
        ASSERT_TRUE(Read(ReadBytes(ImageDataPath(c.name)), &image));
        ASSERT_EQ(image.Width(), c.width) << "the largest image is picked";
        ASSERT_EQ(std::abs(image.Height()), c.height);
        ASSERT_EQ(image.BitCount(), 32);
        const std::vector<uint32_t> got = Pixels(image);
        const std::vector<uint32_t> expected = ExpectedPixels(c.name);
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(got[i] >> 24, expected[i] >> 24) << "alpha of pixel " << i;
            if (expected[i] >> 24 != 0) {
                ASSERT_EQ(got[i], expected[i]) << "colour of pixel " << i << " (the wrong image picked?)";
            }
        }
    }
}

TEST(IcoReader, the_mask_decides_unless_a_32_bit_image_has_alpha)
{
    // Alpha bytes all 0: an icon from before alpha; its mask clears (1, 0).
    CDIBImage image;
    ASSERT_TRUE(Read(IconFile({Bmp32Image(2, 2, {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF},
                                          {0x40000000, 0})}),
                     &image));
    EXPECT_EQ(Pixels(image), (std::vector<uint32_t>{0xFFFF0000, 0x0000FF00, 0xFF0000FF, 0xFFFFFFFF}))
        << "alpha 0xFF where the mask is clear, 0 where it is set";
    // Some alpha: it is kept as it is and the mask is not consulted.
    ASSERT_TRUE(Read(IconFile({Bmp32Image(2, 2, {0x80FF0000, 0x0000FF00, 0xFF0000FF, 0x01FFFFFF},
                                          {0xC0000000, 0xC0000000})}),
                     &image));
    EXPECT_EQ(Pixels(image), (std::vector<uint32_t>{0x80FF0000, 0x0000FF00, 0xFF0000FF, 0x01FFFFFF}));
}

TEST(IcoReader, hostile_directories_and_images_are_refused)
{
    CDIBImage image;
    auto refused = [&](const std::vector<uint8_t>& file, const char* why) {
        EXPECT_FALSE(Read(file, &image)) << why;
        EXPECT_FALSE(image.HasBits()) << why << ": a refused icon leaves the image empty";
    };
    const std::vector<uint8_t> good = IconFile({GoodImage()});
    ASSERT_TRUE(Read(good, &image)) << "the well-formed icon the cases below break";

    std::vector<uint8_t> file = good;
    PutLe16(&file, 4, 40);
    refused(file, "40 directory entries in a file that holds one");
    // One field of the directory entry (at 6) or of the image's header (at 22).
    struct Patch {
        size_t at;
        uint32_t value;
        const char* why;
    };
    for (const Patch& patch : {Patch{6 + 12, 0xFFFFFFF0, "an image offset past the end of the file"},
                               Patch{6 + 8, 0xFFFFFFFF, "an image size past the end (offset + size overflows 32 bits)"},
                               Patch{22 + 4, 30000, "a 30000-pixel-wide image: over the caps"},
                               Patch{22 + 16, 1, "a compressed BMP-coded image"},
                               Patch{22 + 8, 0, "a height of 0"}}) {
        file = good;
        PutLe32(&file, patch.at, patch.value);
        refused(file, patch.why);
    }
    file = good;
    PutLe32(&file, 22 + 4, 8000);
    PutLe32(&file, 22 + 8, 2 * 8000);
    refused(file, "8000 x 8000 stated (inside the caps), 4 pixels given: refused before allocating");
    file = good;
    file.erase(file.end() - 4, file.end());
    PutLe32(&file, 6 + 8, static_cast<uint32_t>(GoodImage().size() - 4));
    refused(file, "an image whose AND mask is cut short");
    const std::vector<uint8_t> png = ReadBytes(ImageDataPath("png_entry.ico"));
    ASSERT_GT(png.size(), 60u);
    file.assign(png.begin(), png.end() - 30);
    PutLe32(&file, 6 + 8, static_cast<uint32_t>(file.size() - 22));
    refused(file, "a PNG-coded image cut short");

    file = good;
    PutLe16(&file, 2, 2);
    EXPECT_FALSE(HasIcoSignature(file.data(), file.size())) << "type 2 is a cursor file";
    file = good;
    PutLe16(&file, 4, 0);
    EXPECT_FALSE(HasIcoSignature(file.data(), file.size())) << "an icon of no images";
}

TEST(IcoReader, an_unreadable_image_gives_way_to_the_next_best)
{
    // A 4 x 4 image whose data stops before its mask outranks the 2 x 2 one.
    std::vector<uint8_t> broken = Bmp32Image(4, 4, std::vector<uint32_t>(16, 0xFF123456), {0, 0, 0, 0});
    broken.erase(broken.end() - 16, broken.end());
    std::vector<uint8_t> file = IconFile({broken, GoodImage()});
    CDIBImage image;
    ASSERT_TRUE(Read(file, &image)) << "the 2 x 2 image still reads";
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(Pixels(image)[0], 0xFFFF0000u);
    // An entry pointing outside the file is passed over in the same way.
    PutLe32(&file, 6 + 12, 0x7FFFFFFF);
    ASSERT_TRUE(Read(file, &image));
    EXPECT_EQ(image.Width(), 2);
}
