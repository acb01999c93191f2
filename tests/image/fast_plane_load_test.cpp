// Pictures reach display planes of every pixel format through
// CFastPlane::LoadFile (decoded by a software plane, then converted); the
// expected values are the generator's pixels reduced by each format's
// layout, written here from the format table.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ImageTestFiles.h"
#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "image/SoftPlane.h"

namespace {

// What GetPixel (0x00BBGGRR) must show of 0xAARRGGBB in a format.
uint32_t Shown(uint32_t argb, int format)
{
    uint32_t r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
    switch (format) {
    case pixfmt::k8: r &= 0xE0; g &= 0xE0; b &= 0xC0; break;
    case pixfmt::k565:
    case pixfmt::k565A4: r &= 0xF8; g &= 0xFC; b &= 0xF8; break;
    case pixfmt::k555:
    case pixfmt::k555A4: r &= 0xF8; g &= 0xF8; b &= 0xF8; break;
    default: break;
    }
    return r | (g << 8) | (b << 16);
}

// What GetAlphaAt (0..255) must show.
int ShownAlpha(uint32_t argb, int format)
{
    uint32_t a = argb >> 24;
    switch (format) {
    case pixfmt::k565A4:
    case pixfmt::k555A4: return static_cast<int>((a >> 4) * 17);
    case pixfmt::kBGRA32:
    case pixfmt::kRGBA32: return static_cast<int>(a);
    default: return 255;
    }
}

class FastPlaneLoad : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { saved_ = CFastPlane::DefaultFormat(); CFastPlane::SetDefaultFormat(GetParam()); }
    void TearDown() override { CFastPlane::SetDefaultFormat(saved_); }
    int saved_ = 0;
};

}  // namespace

TEST_P(FastPlaneLoad, pictures_convert_into_the_planes_format)
{
    const int screen = GetParam();
    for (const char* name : {"rgba8.png", "pal4_trns.png", "stored.bma", "rgb24.bmp", "pal8.bmp"}) {
        CFastPlane plane;
        ASSERT_EQ(plane.LoadFile(ImageDataPath(name)), 0) << name;
        std::vector<uint32_t> expected = ExpectedPixels(name);
        bool alpha = std::strstr(name, ".bmp") == nullptr;
        int format = alpha && pixfmt::AlphaFormatOf(screen) != pixfmt::kNone ? pixfmt::AlphaFormatOf(screen) : screen;
        EXPECT_EQ(plane.GetPixelFormat(), format) << name << ": pictures with alpha take the screen's alpha format";
        EXPECT_EQ(plane.HasAlpha(), pixfmt::IsAlphaFormat(format)) << name;
        int w = 0, h = 0;
        plane.GetSize(&w, &h);
        ASSERT_EQ(w, 13);
        ASSERT_EQ(h, 7);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 13; ++x) {
                uint32_t e = expected[y * 13 + x];
                ASSERT_EQ(plane.GetPixel(x, y), Shown(e, format))
                    << name << " in format " << format << " at (" << x << ", " << y << ")";
                ASSERT_EQ(plane.GetAlphaAt(x, y), ShownAlpha(e, format))
                    << name << " in format " << format << " at (" << x << ", " << y
                    << "): formats 10 and 11 keep alpha >> 4, 12 and 13 the alpha byte";
            }
        }
    }
}

TEST_P(FastPlaneLoad, jpeg_loads_without_alpha)
{
    CFastPlane plane;
    ASSERT_EQ(plane.LoadFile(ImageDataPath("baseline.jpg")), 0) << "the general decoder's pictures reach the plane";
    EXPECT_TRUE(plane.IsCreated());
    EXPECT_EQ(plane.GetPixelFormat(), GetParam()) << "a JPEG has no alpha: the screen format itself";
    // The software plane's decoding is checked against the source picture
    // elsewhere; here the display plane must hold exactly its conversion.
    CSoftPlane soft;
    soft.GetImpl()->SetUseDIBSection(true);
    ASSERT_EQ(soft.LoadFile(ImageDataPath("baseline.jpg")), 0);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(plane.GetPixel(x, y), Shown(soft.GetImpl()->GetPixel(x, y), GetParam()))
                << "JPEG pixel (" << x << ", " << y << ") in format " << GetParam();
    EXPECT_NE(plane.LoadFile(ImageDataPath("nothing.png")), 0);
    EXPECT_FALSE(plane.IsCreated()) << "a failed load leaves the plane without surface";
}

// The 32-bit planes take the decoding plane's memory over: every load must
// leave a surface of its own (a later load must not change an earlier
// plane), and format 7 must keep the fourth byte 0, which whole-pixel key
// tests rely on.
TEST_P(FastPlaneLoad, each_load_keeps_its_own_pixels_and_format_7_a_zero_fourth_byte)
{
    const char* names[] = {"rgb24.bmp", "baseline.jpg", "rgba8.png", "pal8.bmp"};
    CFastPlane planes[4];
    std::vector<std::vector<uint8_t>> bytes;
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(planes[i].LoadFile(ImageDataPath(names[i])), 0) << names[i];
        const SurfaceView v = planes[i].GetSurfaceView();
        const int rowBytes = v.rect.right * pixfmt::BytesPerPixel(planes[i].GetPixelFormat());
        std::vector<uint8_t> copy;
        for (int y = 0; y < v.rect.bottom; ++y) {
            copy.insert(copy.end(), v.pixels + static_cast<intptr_t>(y) * v.pitch,
                        v.pixels + static_cast<intptr_t>(y) * v.pitch + rowBytes);
        }
        bytes.push_back(copy);
        if (planes[i].GetPixelFormat() == pixfmt::kBGRX32) {
            for (size_t at = 3; at < copy.size(); at += 4) {
                ASSERT_EQ(copy[at], 0) << names[i] << ": byte " << at << " of a format 7 plane is not 0";
            }
        }
    }
    for (int i = 0; i < 4; ++i) {
        const SurfaceView v = planes[i].GetSurfaceView();
        const int rowBytes = v.rect.right * pixfmt::BytesPerPixel(planes[i].GetPixelFormat());
        for (int y = 0; y < v.rect.bottom; ++y) {
            ASSERT_EQ(std::memcmp(v.pixels + static_cast<intptr_t>(y) * v.pitch,
                                  &bytes[static_cast<size_t>(i)][static_cast<size_t>(y) * rowBytes], rowBytes),
                      0)
                << names[i] << " row " << y << " changed when later pictures were loaded: the planes share memory";
        }
    }
}

TEST_P(FastPlaneLoad, blt_from_dib_copies_the_overlap)
{
    CSoftPlane soft;
    ASSERT_EQ(soft.Create(4, 3), 0);
    for (int i = 0; i < 12; ++i) soft.GetImpl()->GetPixels()[i] = 0x80000000u | (uint32_t(i) * 0x0F1E2D);
    CFastPlane plane;
    ASSERT_EQ(plane.CreateSurface(3, 5, pixfmt::AlphaFormatOf(GetParam()) != pixfmt::kNone
                                                ? pixfmt::AlphaFormatOf(GetParam()) : GetParam()), 0);
    EXPECT_EQ(plane.BltFromDIB(&soft), 0);
    int format = plane.GetPixelFormat();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            ASSERT_EQ(plane.GetPixel(x, y), Shown(soft.GetImpl()->GetPixel(x, y), format)) << "at " << x << "," << y;
    EXPECT_EQ(plane.GetPixel(0, 4), 0u) << "rows the software plane does not cover stay as they were";
    EXPECT_EQ(plane.BltFromDIB(&plane), 2) << "only a software plane can be the source";
}

INSTANTIATE_TEST_SUITE_P(EveryScreenFormat, FastPlaneLoad,
                         ::testing::Values(pixfmt::k8, pixfmt::k565, pixfmt::k555, pixfmt::kBGR24, pixfmt::kRGB24,
                                           pixfmt::kBGRX32, pixfmt::kRGBX32));
