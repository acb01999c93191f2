#include <gtest/gtest.h>

#include "display/PixelFormat.h"
#include "image/TextFastPlane.h"
#include "support/TextReference.h"

namespace {
const std::string kName = "\x96\xBC\x91\x4F";  // 名前
}

TEST(TextFastPlane, mode1_makes_a_keyed_surface_at_the_text_size)
{
    CTextFastPlane plane;
    EXPECT_EQ(plane.GetTextMode(), 1);
    plane.GetTextDraw()->SetText(kName);
    plane.GetTextDraw()->SetHeight(20);
    plane.GetTextDraw()->SetColor(0xFF0000);
    plane.GetTextDraw()->SetColor2(-1);
    ASSERT_EQ(plane.UpdateText(), 0);
    int w = 0;
    int h = 0;
    plane.GetSize(&w, &h);
    EXPECT_EQ(w, textref::Width(textref::Font(20, true), kName)) << "the surface takes the text's width";
    EXPECT_EQ(h, 20);
    EXPECT_EQ(plane.GetPixelFormat(), CFastPlane::DefaultFormat()) << "mode 1 renders in the screen format";
    EXPECT_FALSE(plane.HasAlpha());

    textref::Canvas ref(w, h);
    textref::DrawString(ref, textref::Font(20, true), kName, 0, 0, 0xFF0000);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t rgb = ref.At(x, y);
            const uint32_t bgr = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
            ASSERT_EQ(plane.GetPixel(x, y), bgr) << "pixel (" << x << ", " << y << ") of the rendered name";
        }
    }
}

TEST(TextFastPlane, smoothed_modes_make_an_alpha_surface)
{
    for (int mode : {2, 3}) {
        CTextFastPlane plane;
        plane.SetTextMode(mode);
        plane.GetTextDraw()->SetText(kName);
        ASSERT_EQ(plane.UpdateText(), 0);
        EXPECT_TRUE(plane.HasAlpha()) << "mode " << mode << " keeps the coverage as alpha";
        EXPECT_EQ(plane.GetPixelFormat(), pixfmt::AlphaFormatOf(CFastPlane::DefaultFormat()));
        int w = 0;
        int h = 0;
        plane.GetSize(&w, &h);
        int covered = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                covered += plane.GetAlphaAt(x, y) > 0;
        EXPECT_GT(covered, w * h / 10) << "mode " << mode << ": the text must cover part of the surface";
    }
}

TEST(TextFastPlane, empty_text_gives_a_one_pixel_surface)
{
    CTextFastPlane plane;
    ASSERT_EQ(plane.DrawTextMode1(), 0);
    int w = 0;
    int h = 0;
    plane.GetSize(&w, &h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
}
