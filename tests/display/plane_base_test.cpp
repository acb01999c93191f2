// The plane interface's shared routing: levels, BltAuto, BltLevel, anchors.
#include <gtest/gtest.h>

#include "display/PlaneBase.h"
#include "support/RecordingPlane.h"

namespace {

// A recording plane that leaves the level forms and BltAuto to the shared
// routines under test; the calls they make are what it logs.
RecordingPlane Routing(int width = 10, int height = 6, bool alpha = false)
{
    RecordingPlane plane(width, height, alpha);
    plane.baseForwards = {"BlendBlt", "BlendBltColorKey", "AlphaBltLevel", "BltLevel", "BltAuto"};
    plane.result = 7;  // a value no real result has, to see it handed back
    return plane;
}

TEST(PlaneBase, level_to_rates_packs_the_level_in_every_channel)
{
    Rates d, s;
    CPlaneBase::LevelToRates(0x40, &d, &s);
    EXPECT_EQ(s, 0x404040u);
    EXPECT_EQ(d, 0xBFBFBFu);
    CPlaneBase::LevelToRates(300, &d, &s);
    EXPECT_EQ(s, 0xFFFFFFu) << "a level above 255 must not spill into the next channel";
    EXPECT_EQ(d, 0u);
    CPlaneBase::LevelToRates(-4, &d, &s);
    EXPECT_EQ(s, 0u) << "a negative level must not wrap into huge rates";
}

TEST(PlaneBase, level_forms_reach_the_rate_forms)
{
    RecordingPlane dst = Routing(), src;
    EXPECT_EQ(dst.BlendBlt(&src, 1, 2, 0x80), 7) << "the callee's result must come back";
    EXPECT_EQ(dst.calls.back().op, "RateBlt");
    EXPECT_EQ(dst.calls.back().srcRate, 0x808080u);
    dst.BlendBltColorKey(&src, 1, 2, 0x10);
    EXPECT_EQ(dst.calls.back().op, "RateBltColorKey");
    dst.AlphaBltLevel(&src, 1, 2, 0x20);
    EXPECT_EQ(dst.calls.back().op, "AlphaRateBlt");
    EXPECT_EQ(dst.calls.back().dstRate, 0xDFDFDFu);
}

TEST(PlaneBase, blt_auto_and_blt_level_choose_by_the_source_alpha)
{
    RecordingPlane dst = Routing(), plain, alpha(10, 6, true);
    dst.BltAuto(&plain, 0, 0);
    EXPECT_EQ(dst.calls.back().op, "BltColorKey") << "a source without alpha is drawn keyed";
    dst.BltAuto(&alpha, 0, 0);
    EXPECT_EQ(dst.calls.back().op, "AlphaBlt") << "a source with alpha is drawn by its alpha";
    dst.BltLevel(&alpha, 0, 0, 255);
    EXPECT_EQ(dst.calls.back().op, "AlphaBlt") << "level 255 goes through BltAuto";
    dst.BltLevel(&alpha, 0, 0, 254);
    EXPECT_EQ(dst.calls.back().op, "AlphaRateBlt") << "below 255 an alpha source goes to AlphaBltLevel";
    dst.BltLevel(&plain, 0, 0, 100);
    EXPECT_EQ(dst.calls.back().op, "RateBltColorKey") << "below 255 a plain source goes to BlendBltColorKey";
    dst.BltLevel(&plain, 0, 0, 1000);
    EXPECT_EQ(dst.calls.back().op, "BltColorKey") << "any level above 255 draws plainly";
}

TEST(PlaneBase, blt_with_anchor_places_the_named_corner)
{
    RecordingPlane dst = Routing(), src(11, 6);
    struct { int anchor, x, y; } cases[] = {{0, 100 - 5, 50 - 3}, {1, 100, 50}, {2, 89, 50}, {3, 100, 44}, {4, 89, 44}};
    for (auto c : cases) {
        EXPECT_EQ(dst.BltWithAnchor(&src, 100, 50, c.anchor, 100), 7);
        EXPECT_EQ(dst.calls.back().x, c.x) << "anchor " << c.anchor;
        EXPECT_EQ(dst.calls.back().y, c.y) << "anchor " << c.anchor;
        EXPECT_EQ(dst.calls.back().srcRate, 0x646464u) << "the level must go through BltLevel";
    }
    EXPECT_EQ(dst.BltWithAnchor(&src, 0, 0, 5, 255), -2) << "an unknown anchor answers -2";
    EXPECT_EQ(dst.BltWithAnchor(nullptr, 0, 0, 1, 255), -1) << "a null source answers -1";
    RecordingPlane odd(-3, -3);
    dst.BltWithAnchor(&odd, 0, 0, 0, 255);
    EXPECT_EQ(dst.calls.back().x, 2) << "the centre uses an arithmetic shift: -3 >> 1 is -2";
}

TEST(PlaneBase, load_two_files_is_not_supported_and_results_have_names)
{
    RecordingPlane p;
    EXPECT_EQ(p.LoadTwoFiles("a", "b"), 1);
    EXPECT_STREQ(ToString(kPlaneFormatPair), "pixel-format pair not supported");
    EXPECT_STREQ(ToString(static_cast<PlaneResult>(42)), "unknown plane result");
}

}  // namespace
