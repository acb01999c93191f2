// GIF and icon pictures read in place of the OLE picture loader, held to
// ImageMagick's decoding of the files make_images.py had it write (the
// ".bgra" beside each: straight alpha), drawn as over the cleared picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ImageTestFiles.h"
#include "image/DIBSection.h"
#include "image/OlePicture.h"

namespace {

// What must be drawn for a reference pixel 0xAARRGGBB: the colour blended
// over black (each channel c * a / 255, rounded), fourth byte 0.
uint32_t OverBlack(uint32_t argb)
{
    const uint32_t a = argb >> 24;
    auto channel = [&](int shift) { return ((((argb >> shift) & 0xFF) * a + 127) / 255) << shift; };
    return channel(16) | channel(8) | channel(0);
}

std::unique_ptr<OlePicture> Open(const std::vector<uint8_t>& bytes) { return OpenOlePicture(bytes.data(), bytes.size()); }

// Draws the picture of a test file whole and compares it with the reference.
void ExpectMatchesReference(const std::string& name, int width, int height)
{
    SCOPED_TRACE(name);
    const std::vector<uint8_t> bytes = ReadBytes(ImageDataPath(name));
    auto picture = Open(bytes);
    ASSERT_NE(picture, nullptr) << "the reader must take the file";
    ASSERT_EQ(picture->Width(), width);
    ASSERT_EQ(picture->Height(), height);
    const std::vector<uint32_t> expected = ExpectedPixels(name);
    ASSERT_EQ(expected.size(), static_cast<size_t>(width) * height) << "the reference is of another size";
    std::vector<uint32_t> drawn(expected.size(), 0xDEADBEEF);
    ASSERT_TRUE(picture->Draw(DibView{drawn.data(), width * 4, width, height}));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            ASSERT_EQ(drawn[i], OverBlack(expected[i])) << "pixel (" << x << ", " << y << ") differs from ImageMagick's";
        }
}

// How many pixels of the reference are fully transparent.
size_t ClearPixels(const std::string& name)
{
    size_t n = 0;
    for (uint32_t p : ExpectedPixels(name)) n += (p >> 24) == 0;
    return n;
}

// A 2 x 2 GIF89a: a 4-colour global table (red, green, blue, grey), a graphic
// control extension making index 2 transparent, and one frame of the indices
// 0 1 / 1 2, each LZW code behind a clear code so that all stay 3 bits wide.
std::vector<uint8_t> TinyGif()
{
    return {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x81, 0, 0,
            255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9,
            0x21, 0xF9, 4, 1, 0, 0, 2, 0,
            0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0,
            2, 4, 0x04, 0xC3, 0x50, 0x05, 0,
            0x3B};
}

constexpr size_t kTinyGifScreen = 6;      // logical screen width, height
constexpr size_t kTinyGifTableFlags = 10;
constexpr size_t kTinyGifFrame = 33;      // the image descriptor's 0x2C
constexpr size_t kTinyGifLzw = 43;        // the LZW minimum code size

}  // namespace

TEST(OlePicture, gif_first_frames_match_the_reference_decoder)
{
    // Stored in four interlaced passes.
    ExpectMatchesReference("interlaced.gif", 40, 30);
    // The transparent index covers the top-left corner and a lattice.
    ASSERT_GT(ClearPixels("transparent.gif"), 100u) << "make_images.py must make a GIF with a transparent index";
    ExpectMatchesReference("transparent.gif", 32, 32);
    // A 20 x 10 frame at (5, 3) on a 40 x 30 screen: the rest is clear.
    ExpectMatchesReference("offset.gif", 40, 30);
    // Of an animation only the first frame is shown.
    ExpectMatchesReference("animated.gif", 24, 16);
}

TEST(OlePicture, gif_transparent_index_is_fully_clear)
{
    const std::vector<uint8_t> gif = TinyGif();
    auto picture = Open(gif);
    ASSERT_NE(picture, nullptr);
    std::vector<uint32_t> drawn(4, 0xDEADBEEF);
    ASSERT_TRUE(picture->Draw(DibView{drawn.data(), 8, 2, 2}));
    EXPECT_EQ(drawn[0], 0xFF0000u);
    EXPECT_EQ(drawn[1], 0x00FF00u);
    EXPECT_EQ(drawn[2], 0x00FF00u);
    EXPECT_EQ(drawn[3], 0u) << "index 2 (blue) is the transparent one: 0, not its colour";
}

TEST(OlePicture, icons_match_the_reference_decoder_drawn_over_black)
{
    // BMP-coded images of 1, 4 and 8 bits with an AND mask.
    for (const char* name : {"depth1.ico", "depth4.ico", "depth8.ico"}) {
        ASSERT_GT(ClearPixels(name), 100u) << name << ": make_images.py must make masked pixels";
        ExpectMatchesReference(name, 32, 32);
    }
    // Every level of alpha (48 x 40, 32 bits), picked among smaller images.
    ExpectMatchesReference("multi.ico", 48, 40);
    // A PNG-coded image, the 256 x 256 kind, outranks a 48 x 40 BMP one.
    ExpectMatchesReference("png256.ico", 256, 256);
    ExpectMatchesReference("png_entry.ico", 13, 7);
}

TEST(OlePicture, drawing_is_cut_at_the_target_and_leaves_the_rest)
{
    for (const char* name : {"interlaced.gif", "offset.gif", "multi.ico"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = ReadBytes(ImageDataPath(name));
        auto picture = Open(bytes);
        ASSERT_NE(picture, nullptr);
        const int w = picture->Width(), h = picture->Height();
        std::vector<uint32_t> whole(static_cast<size_t>(w) * h);
        ASSERT_TRUE(picture->Draw(DibView{whole.data(), w * 4, w, h}));
        // Smaller than the picture: the top-left part (an interlaced GIF
        // delivers rows below the cut before rows inside it).
        const int cw = w / 2 + 1, ch = h / 3 + 1;
        std::vector<uint32_t> cut(static_cast<size_t>(cw) * ch, 0xDEADBEEF);
        ASSERT_TRUE(picture->Draw(DibView{cut.data(), cw * 4, cw, ch}));
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x)
                ASSERT_EQ(cut[static_cast<size_t>(y) * cw + x], whole[static_cast<size_t>(y) * w + x])
                    << "the cut drawing differs from the whole one at (" << x << ", " << y << ")";
        // Larger, with a wider pitch: what lies past the picture is untouched.
        const int bw = w + 3, bh = h + 2, pitch = (bw + 1) * 4;
        std::vector<uint32_t> big(static_cast<size_t>(bw + 1) * bh, 0xDEADBEEF);
        ASSERT_TRUE(picture->Draw(DibView{big.data(), pitch, bw, bh}));
        EXPECT_EQ(big[static_cast<size_t>(h - 1) * (bw + 1) + w - 1], whole.back());
        EXPECT_EQ(big[static_cast<size_t>(h - 1) * (bw + 1) + w], 0xDEADBEEFu) << "right of the picture";
        EXPECT_EQ(big[static_cast<size_t>(h) * (bw + 1)], 0xDEADBEEFu) << "below the picture";
    }
}

TEST(OlePicture, malformed_gifs_are_refused)
{
    auto refused = [](std::vector<uint8_t> gif, const char* why) {
        EXPECT_EQ(Open(gif), nullptr) << why;
    };
    std::vector<uint8_t> gif = TinyGif();
    refused(std::vector<uint8_t>(gif.begin(), gif.begin() + 13), "header alone, no frame");
    refused(std::vector<uint8_t>(gif.begin(), gif.begin() + kTinyGifFrame + 5), "image descriptor cut short");
    std::vector<uint8_t> huge = gif;
    huge[kTinyGifScreen] = huge[kTinyGifScreen + 1] = huge[kTinyGifScreen + 2] = huge[kTinyGifScreen + 3] = 0xFF;
    refused(huge, "a 65535 x 65535 screen is over the size caps");
    std::vector<uint8_t> wide = gif;
    wide[kTinyGifFrame + 5] = 0x00;  // frame width 0x4100
    wide[kTinyGifFrame + 6] = 0x41;
    refused(wide, "a frame 16640 pixels wide is over the size caps");
    std::vector<uint8_t> noTable(gif.begin(), gif.begin() + 13);
    noTable[kTinyGifTableFlags] = 0x00;  // no global table, and the frame has no local one
    noTable.insert(noTable.end(), gif.begin() + 25, gif.end());
    refused(noTable, "a frame without any colour table");
    std::vector<uint8_t> trailerFirst(gif.begin(), gif.begin() + 25);
    trailerFirst.push_back(0x3B);
    refused(trailerFirst, "the trailer before any frame");
    std::vector<uint8_t> notGif = gif;
    notGif[4] = '8';  // "GIF88a"
    refused(notGif, "an unknown version stamp is no GIF");

    // Pixel data cut short is found when drawing: the drawing fails.
    std::vector<uint8_t> cut(gif.begin(), gif.begin() + kTinyGifLzw + 3);
    auto picture = Open(cut);
    ASSERT_NE(picture, nullptr) << "the header and descriptor are whole";
    std::vector<uint32_t> pixels(4);
    EXPECT_FALSE(picture->Draw(DibView{pixels.data(), 8, 2, 2})) << "LZW data cut short";
}
