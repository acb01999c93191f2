// The plane interface's shared routing: levels, BltAuto, BltLevel, anchors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/PlaneBase.h"

namespace {

// Records which operation the shared routines call, with its position.
class RecordingPlane : public CPlaneBase {
public:
    explicit RecordingPlane(bool alpha = false, int w = 10, int h = 6) : alpha_(alpha), w_(w), h_(h) {}
    std::vector<std::string> calls;
    Rates lastDst = 0, lastSrc = 0;
    int lastX = 0, lastY = 0, lastLevel = -1;

    int GetPlaneType() override { return 2; }
    int BltColorKey(CPlaneBase*, int x, int y, const Rect*, const Size*, const Rect*) override { return Note("BltColorKey", x, y); }
    int Blt(CPlaneBase*, int x, int y, const Rect*, const Size*, const Rect*) override { return Note("Blt", x, y); }
    int RateBltColorKey(CPlaneBase*, int x, int y, Rates d, Rates s, const Rect*, const Size*, const Rect*) override { lastDst = d; lastSrc = s; return Note("RateBltColorKey", x, y); }
    int RateBlt(CPlaneBase*, int x, int y, Rates d, Rates s, const Rect*, const Size*, const Rect*) override { lastDst = d; lastSrc = s; return Note("RateBlt", x, y); }
    int AlphaRateBlt(CPlaneBase*, int x, int y, Rates d, Rates s, const Rect*, const Size*, const Rect*) override { lastDst = d; lastSrc = s; return Note("AlphaRateBlt", x, y); }
    int AlphaBlt(CPlaneBase*, int x, int y, const Rect*, const Size*, const Rect*) override { return Note("AlphaBlt", x, y); }
    int AlphaBltFade(CPlaneBase*, int x, int y, int) override { return Note("AlphaBltFade", x, y); }
    int MosaicEffect(int, const Rect*) override { return 0; }
    int NegativeEffect(const Rect*) override { return 0; }
    void GetSize(int* w, int* h) override { *w = w_; *h = h_; }
    bool IsCreated() override { return true; }
    bool HasAlpha() override { return alpha_; }
    int Clear(const Rect*) override { return 0; }
    int LoadFile(const std::string&, int, double) override { return 0; }
    void Release() override {}
    int SetColorKeyRGB(int, int, int) override { return 0; }
    int SetColorKeyByPos(int, int) override { return 0; }
    int Create(int, int, int) override { return 0; }
    int GetAlphaAt(int, int) override { return 0; }
    int BltLevel(CPlaneBase* src, int x, int y, int level, const Rect* r = nullptr, const Size* s = nullptr, const Rect* c = nullptr) override
    {
        lastLevel = level;
        return CPlaneBase::BltLevel(src, x, y, level, r, s, c);
    }

private:
    int Note(const char* name, int x, int y)
    {
        calls.push_back(name);
        lastX = x;
        lastY = y;
        return 7;  // a value no real result has, to see it handed back
    }
    bool alpha_;
    int w_, h_;
};

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
    RecordingPlane dst, src;
    EXPECT_EQ(dst.BlendBlt(&src, 1, 2, 0x80), 7) << "the callee's result must come back";
    EXPECT_EQ(dst.calls.back(), "RateBlt");
    EXPECT_EQ(dst.lastSrc, 0x808080u);
    dst.BlendBltColorKey(&src, 1, 2, 0x10);
    EXPECT_EQ(dst.calls.back(), "RateBltColorKey");
    dst.AlphaBltLevel(&src, 1, 2, 0x20);
    EXPECT_EQ(dst.calls.back(), "AlphaRateBlt");
    EXPECT_EQ(dst.lastDst, 0xDFDFDFu);
}

TEST(PlaneBase, blt_auto_and_blt_level_choose_by_the_source_alpha)
{
    RecordingPlane dst, plain(false), alpha(true);
    dst.BltAuto(&plain, 0, 0);
    EXPECT_EQ(dst.calls.back(), "BltColorKey") << "a source without alpha is drawn keyed";
    dst.BltAuto(&alpha, 0, 0);
    EXPECT_EQ(dst.calls.back(), "AlphaBlt") << "a source with alpha is drawn by its alpha";
    dst.BltLevel(&alpha, 0, 0, 255);
    EXPECT_EQ(dst.calls.back(), "AlphaBlt") << "level 255 goes through BltAuto";
    dst.BltLevel(&alpha, 0, 0, 254);
    EXPECT_EQ(dst.calls.back(), "AlphaRateBlt") << "below 255 an alpha source goes to AlphaBltLevel";
    dst.BltLevel(&plain, 0, 0, 100);
    EXPECT_EQ(dst.calls.back(), "RateBltColorKey") << "below 255 a plain source goes to BlendBltColorKey";
    dst.BltLevel(&plain, 0, 0, 1000);
    EXPECT_EQ(dst.calls.back(), "BltColorKey") << "any level above 255 draws plainly";
}

TEST(PlaneBase, blt_with_anchor_places_the_named_corner)
{
    RecordingPlane dst, src(false, 11, 6);
    struct { int anchor, x, y; } cases[] = {{0, 100 - 5, 50 - 3}, {1, 100, 50}, {2, 89, 50}, {3, 100, 44}, {4, 89, 44}};
    for (auto c : cases) {
        EXPECT_EQ(dst.BltWithAnchor(&src, 100, 50, c.anchor, 255), 7);
        EXPECT_EQ(dst.lastX, c.x) << "anchor " << c.anchor;
        EXPECT_EQ(dst.lastY, c.y) << "anchor " << c.anchor;
        EXPECT_EQ(dst.lastLevel, 255) << "the level must go through BltLevel";
    }
    EXPECT_EQ(dst.BltWithAnchor(&src, 0, 0, 5, 255), -2) << "an unknown anchor answers -2";
    EXPECT_EQ(dst.BltWithAnchor(nullptr, 0, 0, 1, 255), -1) << "a null source answers -1";
    RecordingPlane odd(false, -3, -3);
    dst.BltWithAnchor(&odd, 0, 0, 0, 255);
    EXPECT_EQ(dst.lastX, 2) << "the centre uses an arithmetic shift: -3 >> 1 is -2";
}

TEST(PlaneBase, load_two_files_is_not_supported_and_results_have_names)
{
    RecordingPlane p;
    EXPECT_EQ(p.LoadTwoFiles("a", "b"), 1);
    EXPECT_STREQ(ToString(kPlaneFormatPair), "pixel-format pair not supported");
    EXPECT_STREQ(ToString(static_cast<PlaneResult>(42)), "unknown plane result");
}

}  // namespace
