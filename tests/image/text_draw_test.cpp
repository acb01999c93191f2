#include <gtest/gtest.h>

#include "image/DIBSection.h"
#include "image/TextDraw.h"
#include "support/TextReference.h"

namespace {

// "あア" (two double-byte characters), "ソ" (trail byte 0x5C) and "ｱ" (half-width, one byte).
const std::string kKana = "\x82\xA0\x83\x41";
const std::string kSo = "\x83\x5C";
const std::string kHalfA = "\xB1";

DibView ViewOf(CDIBSection& dib) { return dib.GetView(); }

// Every pixel of the section against the reference (fourth byte ignored).
::testing::AssertionResult SameAs(const CDIBSection& dib, const textref::Canvas& ref)
{
    DibView v = dib.GetView();
    for (int y = 0; y < v.height; ++y) {
        for (int x = 0; x < v.width; ++x) {
            const uint32_t got = v.Row(y)[x] & 0xFFFFFF;
            if (got != (ref.At(x, y) & 0xFFFFFF)) {
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << got
                                                     << ", the reference " << ref.At(x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(TextDraw, defaults_are_the_documented_ones)
{
    CTextDraw text;
    EXPECT_EQ(text.GetHeight(), 16);
    EXPECT_EQ(text.GetLineSpacing(), 20);
    EXPECT_EQ(text.GetColor(), 0xFFFFFFu);
    EXPECT_EQ(text.GetColor2(), 0x808080);
    EXPECT_EQ(text.GetBackColor(), -1) << "the background is transparent by default";
    EXPECT_EQ(text.GetQuality(), 2);
    EXPECT_EQ(text.GetWeight(), 300);
    EXPECT_EQ(text.GetShadowX(), 2);
    EXPECT_EQ(text.GetShadowY(), 2);
    const int expected[5] = {0, 1, 2, 4, 3};
    for (int q = 0; q < 5; ++q)
        EXPECT_EQ(CTextDraw::GdiQuality(q), expected[q]) << "quality " << q << " maps to the wrong GDI quality";
}

TEST(TextDraw, copy_takes_every_setting)
{
    CTextDraw a;
    a.SetText("abc");
    a.SetFace("IPAGothic");
    a.SetHeight(30);
    a.SetLineSpacing(40);
    a.SetWeight(700);
    a.SetItalic(true);
    a.SetUnderline(true);
    a.SetStrikeOut(true);
    a.SetQuality(4);
    a.SetColor(0x123456);
    a.SetColor2(-1);
    a.SetBackColor(0x010203);
    a.SetShadowOffset(5, 6);
    CTextDraw b;
    b = a;
    EXPECT_EQ(b.GetText(), "abc");
    EXPECT_EQ(b.GetFace(), "IPAGothic");
    EXPECT_EQ(b.GetHeight(), 30);
    EXPECT_EQ(b.GetLineSpacing(), 40);
    EXPECT_EQ(b.GetWeight(), 700);
    EXPECT_TRUE(b.GetItalic() && b.GetUnderline() && b.GetStrikeOut());
    EXPECT_EQ(b.GetQuality(), 4);
    EXPECT_EQ(b.GetColor(), 0x123456u);
    EXPECT_EQ(b.GetColor2(), -1);
    EXPECT_EQ(b.GetBackColor(), 0x010203);
    EXPECT_EQ(b.GetShadowX(), 5);
    EXPECT_EQ(b.GetShadowY(), 6);
}

TEST(TextDraw, extent_is_the_widest_line_and_the_line_spacing)
{
    CTextDraw text;
    int w = -1;
    int h = -1;
    EXPECT_EQ(text.GetExtent(&w, &h), 1) << "an empty text reports 1";
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    text.SetHeight(24);
    text.SetLineSpacing(30);
    text.SetText(kKana);
    ASSERT_EQ(text.GetExtent(&w, &h), 0);
    EXPECT_EQ(w, textref::Width(textref::Font(24, true), kKana)) << "the width is the sum of the glyph advances";
    EXPECT_EQ(h, 24) << "one line is one cell high";
    text.SetText(kHalfA + "\n" + kKana + kKana + "\r\nA");
    ASSERT_EQ(text.GetExtent(&w, &h), 0);
    EXPECT_EQ(w, textref::Width(textref::Font(24, true), kKana + kKana)) << "the widest of three lines";
    EXPECT_EQ(h, 2 * 30 + 24) << "three lines: two line spacings plus one cell";
}

TEST(TextDraw, draws_text_over_its_shadow_like_the_reference)
{
    for (int quality : {2, 4}) {
        CTextDraw text;
        text.SetHeight(22);
        text.SetQuality(quality);
        text.SetColor(0xF0E0D0);
        text.SetColor2(0x204060);
        text.SetShadowOffset(2, 3);
        text.SetText(kKana + "Ag" + kSo + kHalfA);
        CDIBSection dib;
        ASSERT_EQ(dib.Create(160, 40), 0);
        ASSERT_EQ(text.Draw(ViewOf(dib), 4, 5), 0);

        const platform::FontRequest font = textref::Font(22, quality != 4);
        textref::Canvas ref(160, 40);
        textref::DrawString(ref, font, text.GetText(), 6, 8, 0x204060);
        textref::DrawString(ref, font, text.GetText(), 4, 5, 0xF0E0D0);
        EXPECT_TRUE(SameAs(dib, ref)) << "quality " << quality << ": the drawn text differs from the glyph reference";
    }
}

TEST(TextDraw, background_fills_each_line_cell_and_lines_stand_apart)
{
    CTextDraw text;
    text.SetHeight(16);
    text.SetLineSpacing(21);
    text.SetColor2(-1);
    text.SetBackColor(0x0000FF);
    text.SetText(kSo + "\n" + kKana);
    CDIBSection dib;
    ASSERT_EQ(dib.Create(80, 50), 0);
    ASSERT_EQ(text.Draw(ViewOf(dib), 3, 1), 0);

    const platform::FontRequest font = textref::Font(16, true);
    textref::Canvas ref(80, 50);
    const int w1 = textref::Width(font, kSo);
    const int w2 = textref::Width(font, kKana);
    for (int y = 1; y < 17; ++y)
        for (int x = 3; x < 3 + w1; ++x)
            ref.At(x, y) = 0x0000FF;
    for (int y = 22; y < 38; ++y)
        for (int x = 3; x < 3 + w2; ++x)
            ref.At(x, y) = 0x0000FF;
    textref::DrawString(ref, font, kSo, 3, 1, 0xFFFFFF);
    textref::DrawString(ref, font, kKana, 3, 22, 0xFFFFFF);
    EXPECT_TRUE(SameAs(dib, ref)) << "opaque background or the second line's position is wrong";
}

TEST(TextDraw, clips_at_every_edge_of_the_view)
{
    CTextDraw text;
    text.SetHeight(30);
    text.SetText(kKana + kKana);
    CDIBSection dib;
    ASSERT_EQ(dib.Create(20, 12), 0);
    for (auto [x, y] : {std::pair{-15, -10}, std::pair{10, 5}, std::pair{-200, 0}, std::pair{0, 400}}) {
        std::fill(dib.GetBits(), dib.GetBits() + 20 * 12, 0u);
        ASSERT_EQ(text.Draw(ViewOf(dib), x, y), 0);
        const platform::FontRequest font = textref::Font(30, true);
        textref::Canvas ref(20, 12);
        textref::DrawString(ref, font, text.GetText(), x + 2, y + 2, 0x808080);
        textref::DrawString(ref, font, text.GetText(), x, y, 0xFFFFFF);
        EXPECT_TRUE(SameAs(dib, ref)) << "text at (" << x << ", " << y << ") must be clipped like the reference";
    }
    EXPECT_EQ(text.Draw(DibView{}, 0, 0), 1) << "a view without pixels cannot be drawn on";
}

TEST(TextDraw, underline_and_strike_out_span_the_line)
{
    CTextDraw text;
    text.SetHeight(20);
    text.SetColor2(-1);
    text.SetQuality(4);
    text.SetUnderline(true);
    text.SetText("    ");  // blanks: only the lines are drawn
    CDIBSection dib;
    ASSERT_EQ(dib.Create(60, 24), 0);
    text.Draw(ViewOf(dib), 0, 0);
    const platform::FontMetrics& m = platform::GetFont(textref::Font(20, false))->Metrics();
    const int width = textref::Width(textref::Font(20, false), "    ");
    const int row = m.ascent + m.underlineOffset;
    for (int x = 0; x < 60; ++x) {
        EXPECT_EQ(dib.GetView().Row(row)[x] & 0xFFFFFF, x < width ? 0xFFFFFFu : 0u)
            << "underline row at column " << x;
    }
    EXPECT_EQ(dib.GetView().Row(m.ascent - m.strikeOutOffset)[1] & 0xFFFFFF, 0u) << "no strike-out was asked for";
    text.SetStrikeOut(true);
    text.Draw(ViewOf(dib), 0, 0);
    EXPECT_EQ(dib.GetView().Row(m.ascent - m.strikeOutOffset)[1] & 0xFFFFFF, 0xFFFFFFu) << "the strike-out line is missing";
}

TEST(TextDraw, hostile_text_and_settings_draw_inside_the_view_only)
{
    // Random bytes (newlines, lead bytes at line ends, undefined codes) with
    // extreme heights, spacings and offsets: drawing must stay inside the
    // view (the sanitizers watch) and the extent must stay non-negative.
    uint32_t seed = 777;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const int extremes[] = {0, 1, -5, 2000, 1 << 30, -(1 << 30)};
    CDIBSection dib;
    ASSERT_EQ(dib.Create(64, 48), 0);
    for (int round = 0; round < 12; ++round) {
        CTextDraw text;
        std::string bytes;
        for (int i = 0; i < 200; ++i)
            bytes.push_back(static_cast<char>(next() % 7 == 0 ? '\n' : next()));
        text.SetText(bytes);
        text.SetHeight(extremes[next() % 6] % 3000);
        text.SetLineSpacing(extremes[next() % 6]);
        text.SetShadowOffset(extremes[next() % 6] % 100, extremes[next() % 6] % 100);
        text.SetQuality(static_cast<int>(next() % 7) - 1);
        text.SetUnderline(next() & 1);
        text.SetStrikeOut(next() & 1);
        text.SetBackColor((next() & 1) ? 0x123456 : -1);
        int w = -1;
        int h = -1;
        EXPECT_EQ(text.GetExtent(&w, &h), 0);
        EXPECT_GE(w, 0) << "round " << round;
        EXPECT_GE(h, 0) << "round " << round;
        EXPECT_EQ(text.Draw(dib.GetView(), static_cast<int>(next() % 200) - 100, static_cast<int>(next() % 200) - 100), 0);
    }
}
