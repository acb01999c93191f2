// The text drawable: layout, wrapping, ruby, links, typing and rendering.
#include <gtest/gtest.h>

#include "MessageWindowSettings.h"
#include "GameTestPlanes.h"
#include "display/FastPlane.h"
#include "support/TextReference.h"
#include "game/FrameAnimation.h"
#include "game/GameConfig.h"
#include "game/TextDrawable.h"
#include "image/SoftPlane.h"

namespace {


const std::string kA = "\x82\xA0";   // あ
const std::string kKan = "\x8A\xBF";  // 漢
const std::string kSo = "\x83\x5C";   // ソ: trail byte 0x5C
const std::string kHalfKa = "\xB6";   // ｶ: half-width, one byte

class TextDrawableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gConfig.width = 800;
        gConfig.basewidth = 800;
        gConfig.textSize = 20;
        gConfig.rubySize = 10;
    }

    static int Advance(const std::string& sjis, int height)
    {
        return textref::Width(textref::Font(height, true), sjis);
    }
    // Runs n typing steps.
    static void Steps(CTextDrawable& text, int n)
    {
        for (int i = 0; i < n; ++i)
            text.BeginDraw();
    }

    game_test::SettingsScope settings_;  // restores gConfig at the end
};

}  // namespace

TEST_F(TextDrawableTest, each_character_is_one_run_whatever_its_byte_count)
{
    CTextDrawable text(400, 100, -1);
    text.Layout("A" + kA + kSo + kHalfKa + "\\", -1);
    ASSERT_EQ(text.Runs().size(), 5u) << "ASCII, two double-byte characters, half-width kana and \\ are five runs";
    EXPECT_EQ(text.Runs()[0].character, "A");
    EXPECT_EQ(text.Runs()[1].character, kA);
    EXPECT_EQ(text.Runs()[2].character, kSo) << "the 0x5C trail byte belongs to its lead byte";
    EXPECT_EQ(text.Runs()[3].character, kHalfKa) << "half-width kana are single bytes";
    EXPECT_EQ(text.Runs()[4].character, "\\");
    EXPECT_EQ(text.GetState(), CTextDrawable::kStateTyping);
    text.Layout(std::string(1, '\x82'), -1);
    EXPECT_EQ(text.Runs().back().character, std::string(1, '\x82')) << "a lead byte at the end stays one run";
}

TEST_F(TextDrawableTest, lines_wrap_at_the_width_minus_the_right_margin)
{
    CTextDrawable text(200, 120, -1);
    text.SetMargins(15, 15, 10, 30);
    text.SetLineSpacing(5);
    text.SetCharSpacing(0);
    std::string line;
    for (int i = 0; i < 9; ++i)
        line += kA;
    text.Layout(line, -1);
    const int cw = Advance(kA, 20);
    ASSERT_GT(cw, 0);
    // A character is placed while x + cw stays below 200 - 30.
    int x = 10;
    int y = 15;
    for (size_t i = 0; i < text.Runs().size(); ++i) {
        if (x + cw >= 170) {
            x = 10;
            y = y + 20 + 5;  // previous bottom + line spacing
        }
        const Rect& r = text.Runs()[i].rect;
        EXPECT_EQ(r.left, x) << "run " << i << " left edge";
        EXPECT_EQ(r.top, y) << "run " << i << " top edge";
        EXPECT_EQ(r.right - r.left, cw);
        EXPECT_EQ(r.bottom - r.top, 20) << "the run is one cell high";
        x += cw;
    }
    EXPECT_GT(text.Runs().back().rect.top, 15) << "nine characters of width " << cw << " must wrap once";
}

TEST_F(TextDrawableTest, new_line_starts_at_the_left_margin_below)
{
    CTextDrawable text(400, 120, -1);
    text.SetMargins(15, 15, 10, 30);
    text.SetLineSpacing(6);
    text.NewLine();
    text.Layout(kA, -1);
    EXPECT_EQ(text.Runs()[0].rect.top, 15 + 6 + 20) << "a new line before the first character moves it down";
    EXPECT_EQ(text.Runs()[0].rect.left, 10);
    text.Layout(kA, -1);
    text.NewLine();
    text.Layout("B", -1);
    EXPECT_EQ(text.Runs()[2].rect.left, 10) << "after NewLine the line starts at the left margin";
    EXPECT_EQ(text.Runs()[2].rect.top, 41 + 6 + 20) << "one line spacing plus the height below";
    text.Layout("C", -1);
    EXPECT_EQ(text.Runs()[3].rect.top, text.Runs()[2].rect.top) << "NewLine applies to one character only";
}

TEST_F(TextDrawableTest, sizes_scale_with_the_screen_width)
{
    gConfig.basewidth = 640;  // 800 / 640 = 1.25
    CTextDrawable text(400, 120, -1);
    text.SetMargins(16, 0, 8, 0);
    text.Layout(kA, 16);
    EXPECT_EQ(text.Runs()[0].rect.left, 10) << "margin 8 scales to 10";
    EXPECT_EQ(text.Runs()[0].rect.top, 20) << "margin 16 scales to 20";
    EXPECT_EQ(text.Runs()[0].height, 20) << "size 16 scales to 20";
}

TEST_F(TextDrawableTest, one_ruby_character_is_centred_over_its_base)
{
    CTextDrawable text(400, 120, -1);
    text.SetMargins(20, 0, 10, 0);
    text.Layout("x", -1);
    text.SetString(kA);
    text.Layout(kKan + kKan, -1);
    ASSERT_EQ(text.Runs().size(), 4u);
    const Rect first = text.Runs()[1].rect;
    const Rect last = text.Runs()[2].rect;
    const Rect ruby = text.Runs()[3].rect;
    const int rw = Advance(kA, 10);
    EXPECT_EQ(text.Runs()[3].flags, CTextDrawable::kRunRuby);
    EXPECT_EQ(ruby.left, (last.right - rw + first.left) / 2) << "a single ruby character is centred over the base";
    EXPECT_EQ(ruby.bottom, first.top) << "the ruby stands right on top of its base";
    EXPECT_EQ(ruby.bottom - ruby.top, 10) << "ruby is set at the ruby size";
    text.Layout("y", -1);
    EXPECT_EQ(text.Runs()[4].rect.top, first.top) << "text after ruby goes on on the base line";
    EXPECT_EQ(text.Runs()[4].rect.left, last.right) << "text after ruby follows its base";
}

TEST_F(TextDrawableTest, ruby_wider_than_its_base_is_packed_without_spacing)
{
    CTextDrawable text(400, 120, -1);
    text.SetMargins(20, 0, 10, 0);
    text.SetString("ABC");
    text.Layout("i", -1);  // a base narrower than three ruby characters
    ASSERT_EQ(text.Runs().size(), 4u);
    const int rw = std::max({Advance("A", 10), Advance("B", 10), Advance("C", 10)});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(text.Runs()[1 + i].rect.left, 10 + i * rw) << "ruby character " << i << " packed at spacing 0";
    text.SetString("AB");
    text.Layout(kKan + kKan + kKan, -1);
    const Rect first = text.Runs()[4].rect;
    const Rect last = text.Runs()[6].rect;
    const int spacing = (last.right - first.left - 2 * rw) / 1;
    EXPECT_EQ(text.Runs()[8].rect.left, first.left + rw + spacing) << "two ruby characters spread over the base";
}

TEST_F(TextDrawableTest, a_link_answers_a_push_inside_its_runs_only)
{
    CTextDrawable text(400, 120, -1);
    text.SetPos(100, 300);
    text.Layout("Go ", -1);
    text.AddRecord(1, 42);
    text.Layout(kA + kA, -1);
    text.EndLink();
    EXPECT_EQ(text.GetState(), CTextDrawable::kStateLinks) << "text laid out in link mode";
    text.Layout(" on", -1);
    text.SetOption(0);
    text.BeginDraw();
    text.BeginDraw();
    EXPECT_EQ(text.GetState(), CTextDrawable::kStateLinks) << "a typed page with links waits for a choice";
    ASSERT_EQ(text.Links().size(), 1u);
    ASSERT_EQ(text.Links()[0].runs.size(), 2u) << "only the runs laid out between AddRecord and EndLink";
    const Rect r = text.Runs()[3].rect;
    int32_t file = -1;
    int32_t offset = -1;
    text.HitTestAt(100 + r.left, 300 + r.top, true, &file, &offset);
    EXPECT_EQ(file, 1);
    EXPECT_EQ(offset, 42) << "a push on the link's first character chooses it";
    EXPECT_TRUE(text.Runs()[4].flags & CTextDrawable::kRunHover) << "every run of the hovered link is lit";
    text.HitTestAt(100 + r.right, 300 + r.bottom - 1, false, &file, &offset);
    EXPECT_EQ(file, 0) << "without a push nothing is chosen";
    EXPECT_TRUE(text.Runs()[4].flags & CTextDrawable::kRunHover) << "the second character is still on the link";
    const Rect last = text.Runs()[4].rect;
    text.HitTestAt(100 + last.right, 300 + last.top, true, &file, &offset);
    EXPECT_EQ(file, 0) << "the right edge lies outside the link";
    EXPECT_FALSE(text.Runs()[3].flags & CTextDrawable::kRunHover) << "leaving the link puts its light out";
    text.HitTestAt(100 + r.left, 300 + r.bottom, true, &file, &offset);
    EXPECT_EQ(file, 0) << "the bottom edge lies outside the link";
}

TEST_F(TextDrawableTest, speed_three_types_on_every_third_tick)
{
    CTextDrawable text(400, 120, -1);
    text.SetOption(3);
    text.Layout("ABCDE", -1);
    const size_t expected[] = {0, 0, 1, 1, 1, 2, 2, 2, 3};
    for (size_t tick = 1; tick <= 9; ++tick) {
        text.BeginDraw();
        EXPECT_EQ(text.Cursor(), expected[tick - 1]) << "characters appear on ticks 3, 6, 9; tick " << tick;
    }
    text.SkipTyping();
    text.BeginDraw();
    EXPECT_EQ(text.Cursor(), 5u) << "SkipTyping renders the rest in one frame";
    text.BeginDraw();
    EXPECT_EQ(text.GetState(), CTextDrawable::kStateFinished);
}

TEST_F(TextDrawableTest, speed_zero_types_the_page_at_once_and_shows_the_marker_after_it)
{
    CTextDrawable text(400, 120, -1);
    text.SetPos(50, 400);
    auto* marker = new CFrameAnimation;
    auto* picture = new CSoftPlane;
    picture->Create(8, 12);
    marker->AddFramePlane(picture);
    text.SetMarker(marker);
    text.SetOption(0);
    text.Layout("AB" + kA, -1);
    RecordingPlane target(800, 600);
    RectList list;
    EXPECT_EQ(text.AddDirtyRects(&target, &list), 1) << "a typing page repaints its plane";
    text.BeginDraw();
    EXPECT_EQ(text.Cursor(), 3u) << "speed 0 renders everything in one step";
    EXPECT_FALSE(marker->IsVisible()) << "the marker waits for the step after the last character";
    text.BeginDraw();
    EXPECT_EQ(text.GetState(), CTextDrawable::kStateFinished);
    ASSERT_TRUE(marker->IsVisible());
    int32_t mx = 0;
    int32_t my = 0;
    marker->GetPos(&mx, &my);
    const Rect last = text.Runs().back().rect;
    EXPECT_EQ(mx, 50 + last.right) << "the marker's left edge follows the last character";
    EXPECT_EQ(my, 400 + last.bottom - 12) << "the marker's bottom lies on the last character's bottom";
    list.clear();
    EXPECT_EQ(text.AddDirtyRects(&target, &list), 0) << "a finished page does not repaint its plane";
    EXPECT_EQ(list.size(), 1u) << "only the animated marker is repainted";
    text.Reset();
    EXPECT_EQ(text.GetState(), CTextDrawable::kStateEmpty);
    EXPECT_FALSE(marker->IsVisible()) << "Reset hides the marker";
    EXPECT_TRUE(text.Runs().empty());
    list.clear();
    text.AddDirtyRects(&target, &list);
    EXPECT_GE(list.size(), 2u) << "the hidden marker's place and the cleared page are repainted";
    text.BeginDraw();
    for (int frame = 0; frame < 3; ++frame) {
        list.clear();
        EXPECT_EQ(text.AddDirtyRects(&target, &list), 0)
            << "an empty page repaints once after Reset, not on frame " << frame;
        EXPECT_TRUE(list.empty()) << "a still, empty message window costs no drawing";
        text.BeginDraw();
    }
}

TEST_F(TextDrawableTest, links_render_the_page_again_every_frame)
{
    CTextDrawable text(400, 120, -1);
    text.SetOption(0);
    text.AddRecord(1, 7);
    text.Layout("AB", -1);
    text.EndLink();
    RecordingPlane target(800, 600);
    for (int frame = 0; frame < 3; ++frame) {
        RectList list;
        EXPECT_EQ(text.AddDirtyRects(&target, &list), 1) << "a page with links repaints on frame " << frame;
        text.BeginDraw();
        EXPECT_EQ(text.Cursor(), 2u);
        EXPECT_EQ(text.GetState(), CTextDrawable::kStateLinks);
    }
}

TEST_F(TextDrawableTest, runs_render_in_their_colours_like_the_reference)
{
    CTextDrawable text(300, 60, -1);
    text.SetMargins(5, 0, 5, 0);
    text.SetOption(0);
    text.Layout(kA, -1);
    text.AddRecord(1, 1);
    text.Layout(kKan, -1);
    text.EndLink();
    text.AddRecord(1, 2);
    text.Layout(kSo, -1);
    text.EndLink();
    int32_t file = 0;
    int32_t offset = 0;
    text.HitTestAt(text.Runs()[2].rect.left + 1, text.Runs()[2].rect.top + 1, false, &file, &offset);
    text.BeginDraw();

    const platform::FontRequest font = textref::Font(20, true);
    textref::Canvas ref(300, 60);
    const Rect* r[3] = {&text.Runs()[0].rect, &text.Runs()[1].rect, &text.Runs()[2].rect};
    textref::DrawString(ref, font, kA, r[0]->left + 2, r[0]->top + 2, 0xA0A0A0);
    textref::DrawString(ref, font, kA, r[0]->left, r[0]->top, 0xFFFFFF);
    textref::DrawString(ref, font, kKan, r[1]->left + 2, r[1]->top + 2, 0xA0A0A0);
    textref::DrawString(ref, font, kKan, r[1]->left, r[1]->top, 0x50FF50);
    for (int y = r[2]->top; y < r[2]->bottom; ++y)
        for (int x = r[2]->left; x < r[2]->right; ++x)
            ref.At(x, y) = 0xA0A0A0;  // the hovered link's background
    textref::DrawString(ref, font, kSo, r[2]->left + 2, r[2]->top + 2, 0x303030);
    textref::DrawString(ref, font, kSo, r[2]->left, r[2]->top, 0xB0B0FF);
    CSoftPlaneImpl* work = text.GetWorkPlane()->GetImpl();
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(work->GetPixel(x, y) & 0xFFFFFF, ref.At(x, y))
                << "plain, link and hovered-link colours at (" << x << ", " << y << ")";
    const uint32_t shown = text.GetDisplayPlane()->GetPixel(r[2]->left, r[2]->top);
    EXPECT_EQ(shown, 0xA0A0A0u) << "the display plane takes the rendered page";
}

TEST_F(TextDrawableTest, layout_colour_and_override_colour_the_runs)
{
    CTextDrawable text(200, 40, -1);
    text.SetOption(0);
    text.SetLayoutColor(0xFF0000);
    text.Layout("\x81\xA1", -1);  // ■: a full block to read the colour from
    text.SetLayoutColor(-1);
    text.Layout("\x81\xA1", -1);
    text.BeginDraw();
    const Rect a = text.Runs()[0].rect;
    const Rect b = text.Runs()[1].rect;
    CSoftPlaneImpl* work = text.GetWorkPlane()->GetImpl();
    EXPECT_EQ(work->GetPixel((a.left + a.right) / 2, (a.top + a.bottom) / 2) & 0xFFFFFF, 0xFF0000u)
        << "the layout colour colours the runs laid out after it";
    EXPECT_EQ(work->GetPixel((b.left + b.right) / 2, (b.top + b.bottom) / 2) & 0xFFFFFF, 0xFFFFFFu)
        << "-1 goes back to white";
    text.Reset();
    text.SetColorOverride(0x0000FF);
    text.Layout("\x81\xA1\x81\xA1", -1);
    text.SetOption(1);
    text.BeginDraw();
    text.BeginDraw();
    const Rect c = text.Runs()[0].rect;
    const Rect d = text.Runs()[1].rect;
    EXPECT_EQ(work->GetPixel((c.left + c.right) / 2, (c.top + c.bottom) / 2) & 0xFFFFFF, 0x0000FFu)
        << "the override colours the runs of the next step";
    EXPECT_EQ(work->GetPixel((d.left + d.right) / 2, (d.top + d.bottom) / 2) & 0xFFFFFF, 0xFFFFFFu)
        << "the override lasts one step only";
}

TEST_F(TextDrawableTest, draws_its_plane_blended_by_the_level_and_refuses_pictures)
{
    CTextDrawable text(100, 40, -1);
    text.SetPos(30, 40);
    text.SetLevel(128);
    RecordingPlane target(800, 600);
    Rect clip{0, 0, 800, 600};
    text.OnDraw(&target, &clip);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].op, "BlendBltColorKey") << "the plane is blended colour-keyed";
    EXPECT_EQ(target.calls[0].level, 128);
    EXPECT_EQ(target.calls[0].x, 30);
    EXPECT_EQ(target.calls[0].y, 40);
    EXPECT_EQ(text.LoadPicture("x.png"), 1) << "the text drawable makes its own picture";
    auto plane = std::make_unique<CSoftPlane>();
    EXPECT_EQ(text.SetPlane(plane.get()), 1) << "a plane is refused and stays its owner's";
    EXPECT_EQ(text.GetPlane(), nullptr);
}

TEST_F(TextDrawableTest, hostile_text_and_settings_lay_out_and_render_safely)
{
    // Random bytes (lead bytes at the end, control characters, undefined
    // codes) with extreme margins and spacings: every byte lands in exactly
    // one run, and typing them draws only inside the planes.
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint8_t>(seed >> 16);
    };
    const int extremes[] = {0, -7, 1 << 30, -(1 << 30), 100000};
    for (int round = 0; round < 5; ++round) {
        gConfig.rubySize = extremes[(round + 2) % 5];
        CTextDrawable text(120, 40, -1);
        text.SetMargins(extremes[round], 0, extremes[(round + 1) % 5], extremes[(round + 3) % 5]);
        text.SetLineSpacing(extremes[(round + 4) % 5]);
        text.SetCharSpacing(extremes[(round + 1) % 5]);
        text.SetOption(0);
        std::string input;
        for (int i = 0; i < 300; ++i)
            input.push_back(static_cast<char>(next()));
        text.SetString(input.substr(0, 40));
        text.AddRecord(0, 0);
        text.Layout(input, round == 0 ? -1 : extremes[round] % 500);
        std::string joined;
        for (const auto& run : text.Runs())
            if (!(run.flags & CTextDrawable::kRunRuby))
                joined += run.character;
        EXPECT_EQ(joined, input) << "round " << round << ": the runs must hold every byte once, in order";
        text.BeginDraw();
        text.BeginDraw();
        EXPECT_FALSE(text.IsTyping()) << "speed 0 types the whole text";
        int32_t file = -1;
        int32_t offset = -1;
        text.HitTestAt(5, 5, true, &file, &offset);
    }
}
