#include <gtest/gtest.h>

#include "support/TextReference.h"
#include "image/AntialiasTextPlane.h"

namespace {

const std::string kText = "\x8A\xBF\x8E\x9A" "Ag\x83\x5C";  // 漢字Agソ

// The coverage reference of a smoothed mode: the text white and hard-edged at
// factor times the size, each factor x factor box averaged into an alpha.
textref::Canvas SmoothedAlpha(const std::string& text, int height, int x, int y, int factor, int outW, int outH)
{
    const platform::FontRequest big = textref::Font(height * factor, false);
    textref::Canvas work(std::max(1, textref::Width(big, text)), height * factor);
    textref::DrawString(work, big, text, x * factor, y * factor, 0xFFFFFF);
    textref::Canvas alpha(outW, outH);
    for (int py = 0; py < std::min(work.height / factor, outH); ++py) {
        for (int px = 0; px < std::min(work.width / factor, outW); ++px) {
            int sum = 0;
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx)
                    sum += work.At(px * factor + dx, py * factor + dy) & 0xFF;
            alpha.At(px, py) = static_cast<uint32_t>(sum / (factor * factor));
        }
    }
    return alpha;
}

}  // namespace

TEST(AntialiasTextPlane, smoothed_modes_match_the_box_filtered_glyph_reference)
{
    for (int mode : {2, 3}) {
        const int factor = mode == 2 ? 2 : 4;
        CAntialiasTextPlane plane;
        CTextDraw* text = plane.GetTextDraw();
        text->SetHeight(20);
        text->SetText(kText);
        text->SetColor(0x3366CC);
        text->SetColor2(0xFF8000);
        ASSERT_EQ(mode == 2 ? plane.DrawTextMode2() : plane.DrawTextMode3(), CAntialiasTextPlane::kTextDone);
        EXPECT_TRUE(plane.HasAlpha()) << "the smoothed modes leave per-pixel alpha";

        int w = 0;
        int h = 0;
        plane.GetSize(&w, &h);
        EXPECT_EQ(w, textref::Width(textref::Font(20, true), kText)) << "the plane takes the text's extent";
        EXPECT_EQ(h, 20);
        const textref::Canvas textAlpha = SmoothedAlpha(kText, 20, 0, 0, factor, w, h);
        const textref::Canvas shadowAlpha = SmoothedAlpha(kText, 20, 2, 2, factor, w, h);
        int mismatches = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t a1 = textAlpha.At(x, y);
                const uint32_t a2 = shadowAlpha.At(x, y) * (255 - a1) / 255;
                uint32_t expected = a1 << 24 | 0x3366CC;
                if (a1 + a2 != 0 && a2 != 0) {
                    const uint32_t a = a1 + a2;
                    expected = a << 24;
                    for (int s = 0; s <= 16; s += 8)
                        expected |= ((((0xFF8000u >> s) & 0xFF) * a2 + ((0x3366CCu >> s) & 0xFF) * a1) / a) << s;
                }
                const uint32_t got = plane.GetImpl()->GetPixel(x, y);
                if (got != expected && mismatches++ < 5)
                    ADD_FAILURE() << "mode " << mode << " pixel (" << x << ", " << y << ") is " << std::hex << got
                                  << ", the reference " << expected;
            }
        }
        EXPECT_EQ(mismatches, 0) << "mode " << mode << " differs from the reference in " << mismatches << " pixels";
        EXPECT_EQ(text->GetColor(), 0x3366CCu) << "the colour must be restored after rendering";
        EXPECT_EQ(text->GetColor2(), 0xFF8000);
        EXPECT_EQ(text->GetHeight(), 20) << "the height must be restored after rendering";
        EXPECT_EQ(text->GetLineSpacing(), 20);
        EXPECT_EQ(text->GetQuality(), 2) << "the quality must be restored after rendering";
    }
}

TEST(AntialiasTextPlane, without_shadow_every_pixel_has_the_text_colour)
{
    CAntialiasTextPlane plane;
    plane.GetTextDraw()->SetText(kText);
    plane.GetTextDraw()->SetColor(0x102030);
    plane.GetTextDraw()->SetColor2(-1);
    ASSERT_EQ(plane.DrawTextMode2(), 0);
    int w = 0;
    int h = 0;
    plane.GetSize(&w, &h);
    bool anyInk = false;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t px = plane.GetImpl()->GetPixel(x, y);
            ASSERT_EQ(px & 0xFFFFFF, 0x102030u) << "colour bytes must be the text colour at (" << x << ", " << y << ")";
            anyInk |= (px >> 24) != 0;
        }
    }
    EXPECT_TRUE(anyInk) << "the text must leave some coverage";
}

TEST(AntialiasTextPlane, empty_text_gives_a_one_pixel_plane_and_mode1_has_no_alpha)
{
    for (int mode : {1, 2, 3}) {
        CAntialiasTextPlane plane;
        const int result = mode == 1 ? plane.DrawTextMode1() : mode == 2 ? plane.DrawTextMode2() : plane.DrawTextMode3();
        ASSERT_EQ(result, 0) << "mode " << mode;
        int w = 0;
        int h = 0;
        plane.GetSize(&w, &h);
        EXPECT_EQ(w, 1) << "mode " << mode << ": an empty text still makes a 1 x 1 plane";
        EXPECT_EQ(h, 1);
        EXPECT_EQ(plane.GetImpl()->GetPixel(0, 0) >> 24, 0u) << "nothing covers the empty plane";
    }
    CAntialiasTextPlane plane;
    plane.GetTextDraw()->SetText("A");
    ASSERT_EQ(plane.DrawTextMode2(), 0);
    ASSERT_TRUE(plane.HasAlpha());
    ASSERT_EQ(plane.DrawTextMode1(), 0);
    EXPECT_FALSE(plane.HasAlpha()) << "mode 1 clears the alpha flag";
}

TEST(AntialiasTextPlane, mode1_draws_the_text_and_shadow_at_the_text_position)
{
    CAntialiasTextPlane plane;
    ASSERT_EQ(plane.Create(70, 30), 0);
    plane.SetTextPos(5, 4);
    plane.GetTextDraw()->SetText(kText);
    plane.GetTextDraw()->SetHeight(18);
    ASSERT_EQ(plane.DrawTextMode1(), 0);
    int w = 0;
    int h = 0;
    plane.GetSize(&w, &h);
    EXPECT_EQ(w, 70) << "a created plane keeps its size";
    textref::Canvas ref(70, 30);
    textref::DrawString(ref, textref::Font(18, true), kText, 7, 6, 0x808080);
    textref::DrawString(ref, textref::Font(18, true), kText, 5, 4, 0xFFFFFF);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 70; ++x)
            ASSERT_EQ(plane.GetImpl()->GetPixel(x, y) & 0xFFFFFF, ref.At(x, y)) << "pixel (" << x << ", " << y << ")";
}

TEST(AntialiasTextPlane, work_plane_failure_restores_the_settings)
{
    CAntialiasTextPlane plane;
    ASSERT_EQ(plane.Create(8, 8), 0);
    CTextDraw* text = plane.GetTextDraw();
    text->SetText(std::string(4000, 'W'));  // far wider than any picture at four times the size
    text->SetColor(0x445566);
    EXPECT_EQ(plane.DrawTextMode3(), CAntialiasTextPlane::kTextWorkFailed);
    EXPECT_EQ(text->GetHeight(), 16) << "height restored";
    EXPECT_EQ(text->GetLineSpacing(), 20) << "line spacing restored";
    EXPECT_EQ(text->GetColor(), 0x445566u) << "colour restored";
    EXPECT_EQ(text->GetColor2(), 0x808080) << "second colour restored";
    EXPECT_EQ(text->GetQuality(), 2) << "quality restored";
}
