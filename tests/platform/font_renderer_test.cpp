#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/FontRenderer.h"

namespace {

platform::FontRequest Request(int height, bool antialias)
{
    platform::FontRequest request;
    request.height = height;
    request.antialias = antialias;
    return request;
}

constexpr uint16_t kKatakanaSo = 0x835C;  // trail byte 0x5C, the backslash's byte
constexpr uint16_t kHiraganaA = 0x82A0;
constexpr uint16_t kHalfWidthA = 0xB1;    // half-width katakana: one byte

}  // namespace

TEST(FontRenderer, missing_face_falls_back_to_the_installed_japanese_face)
{
    const std::string fallback = platform::ResolveFontFile("");
    ASSERT_FALSE(fallback.empty()) << "no Japanese face found: fonts-ipafont-gothic is not installed";
    EXPECT_EQ(std::filesystem::canonical(fallback).filename(), "ipag.ttf")
        << "the default face must be IPA Gothic, got " << fallback;
    EXPECT_EQ(platform::ResolveFontFile("No Such Face 0xDEAD"), fallback)
        << "a face that is not installed must fall back to the default Japanese face";
    platform::FontRequest request = Request(16, true);
    request.face = "No Such Face 0xDEAD";
    EXPECT_EQ(platform::GetFont(request)->FilePath(), fallback) << "the font object must load the fallback file";
}

TEST(FontRenderer, cell_height_is_ascent_plus_descent_like_gdi)
{
    for (int height : {8, 16, 22, 33, 64}) {
        const platform::FontMetrics& m = platform::GetFont(Request(height, true))->Metrics();
        EXPECT_EQ(m.height, height);
        EXPECT_EQ(m.ascent + m.descent, height) << "GDI's tmHeight is the requested height, at " << height;
        EXPECT_GT(m.ascent, m.descent) << "the baseline must lie in the lower part of the cell";
    }
}

TEST(FontRenderer, full_width_glyphs_fit_the_cell_and_advance_by_its_height)
{
    platform::Font* font = platform::GetFont(Request(32, true));
    const platform::Glyph& a = font->GlyphForSjis(kHiraganaA);
    EXPECT_NEAR(a.advance, 32, 1) << "IPA Gothic's full-width advance is one em, the cell height";
    EXPECT_GT(a.width, 16) << "the glyph of あ must have a bitmap";
    EXPECT_LE(a.top, font->Metrics().ascent + 1) << "a glyph must not rise above the cell";
    EXPECT_GE(a.top - a.height, -font->Metrics().descent - 1) << "a glyph must not sink below the cell";
    const platform::Glyph& kana = font->GlyphForSjis(kHalfWidthA);
    EXPECT_NEAR(kana.advance, 16, 1) << "half-width katakana (one byte) advances by half a cell";
}

TEST(FontRenderer, trail_byte_0x5c_is_part_of_the_character_not_a_backslash)
{
    platform::Font* font = platform::GetFont(Request(24, true));
    const platform::Glyph& so = font->GlyphForSjis(kKatakanaSo);
    const platform::Glyph& backslash = font->GlyphForSjis(0x5C);
    EXPECT_GT(so.advance, backslash.advance) << "ソ (0x83 0x5C) is full width; the backslash is half width";
    EXPECT_NE(so.coverage, backslash.coverage) << "0x83 0x5C must not draw as the backslash";
}

TEST(FontRenderer, hard_edged_glyphs_have_only_full_or_empty_pixels)
{
    const platform::Glyph& mono = platform::GetFont(Request(20, false))->GlyphForSjis(kHiraganaA);
    ASSERT_FALSE(mono.coverage.empty());
    EXPECT_TRUE(std::all_of(mono.coverage.begin(), mono.coverage.end(), [](uint8_t c) { return c == 0 || c == 255; }))
        << "non-antialiased quality must render hard-edged glyphs";
    const platform::Glyph& smooth = platform::GetFont(Request(20, true))->GlyphForSjis(kHiraganaA);
    EXPECT_TRUE(std::any_of(smooth.coverage.begin(), smooth.coverage.end(), [](uint8_t c) { return c > 0 && c < 255; }))
        << "antialiased glyphs must have partly covered pixels";
}

TEST(FontRenderer, glyphs_are_cached_and_odd_codes_never_fail)
{
    platform::Font* font = platform::GetFont(Request(18, true));
    EXPECT_EQ(&font->GlyphForSjis(kHiraganaA), &font->GlyphForSjis(kHiraganaA)) << "a second look-up must hit the cache";
    EXPECT_EQ(platform::GetFont(Request(18, true)), font) << "the same request must give the cached font";
    const platform::Glyph& question = font->GlyphForSjis('?');
    const platform::Glyph& undefined = font->GlyphForSjis(0x81AD);  // unassigned in CP932
    EXPECT_EQ(undefined.coverage, question.coverage) << "an unconvertible character draws as ?";
    const platform::Glyph& newline = font->GlyphForSjis('\n');
    EXPECT_EQ(newline.advance, 0) << "control characters take no room";
    EXPECT_TRUE(newline.coverage.empty());
    EXPECT_EQ(platform::GetFont(Request(0, true))->Metrics().height, 1) << "heights are clamped to at least 1";
    EXPECT_EQ(platform::GetFont(Request(1 << 30, true))->Metrics().height, 1024) << "huge heights are clamped";
}

TEST(FontRenderer, bold_widens_the_strokes)
{
    platform::FontRequest normal = Request(24, false);
    platform::FontRequest bold = normal;
    bold.weight = 700;
    auto ink = [](const platform::Glyph& g) { return std::count(g.coverage.begin(), g.coverage.end(), 255); };
    EXPECT_GT(ink(platform::GetFont(bold)->GlyphForSjis(kHiraganaA)),
              ink(platform::GetFont(normal)->GlyphForSjis(kHiraganaA)))
        << "weight 700 must draw heavier strokes than weight 400";
}
