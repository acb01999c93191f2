// CFastPlane's surface, colour keys, pixels and copies.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>

#include "display/FastPlane.h"
#include "support/PlaneTestSupport.h"
#include "support/RecordingPlane.h"

using namespace planetest;

namespace {

struct RefColour {
    int r, g, b, a;  // 8-bit scale; 16-bit channels with their bits at the top
};

// Reads a pixel from the layouts as documented, independently of the traits.
RefColour ReadRef(int f, const uint8_t* p)
{
    switch (f) {
    case 2: return {p[0] & 0xE0, (p[0] << 3) & 0xE0, (p[0] << 6) & 0xC0, 255};
    case 3: case 10: {
        int w = p[0] | (p[1] << 8);
        int a = f == 10 ? (p[2] & 15) * 17 : 255;
        return {((w >> 11) & 31) << 3, ((w >> 5) & 63) << 2, (w & 31) << 3, a};
    }
    case 4: case 11: {
        int w = p[0] | (p[1] << 8);
        int a = f == 11 ? (p[2] & 15) * 17 : 255;
        return {((w >> 10) & 31) << 3, ((w >> 5) & 31) << 3, (w & 31) << 3, a};
    }
    case 5: case 7: return {p[2], p[1], p[0], 255};
    case 6: case 8: return {p[0], p[1], p[2], 255};
    case 12: return {p[2], p[1], p[0], p[3]};
    case 13: return {p[0], p[1], p[2], p[3]};
    }
    return {0, 0, 0, 0};
}

void WriteRef(int f, uint8_t* p, RefColour c, bool sourceHasAlpha)
{
    int alpha = sourceHasAlpha ? c.a : 255;
    switch (f) {
    case 2: p[0] = static_cast<uint8_t>((c.r & 0xE0) | ((c.g & 0xE0) >> 3) | (c.b >> 6)); break;
    case 3: case 10: Put16(p, ((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3)); if (f == 10) { p[2] = static_cast<uint8_t>(alpha >> 4); p[3] = 0; } break;
    case 4: case 11: Put16(p, ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3)); if (f == 11) { p[2] = static_cast<uint8_t>(alpha >> 4); p[3] = 0; } break;
    case 5: p[0] = c.b; p[1] = c.g; p[2] = c.r; break;
    case 6: p[0] = c.r; p[1] = c.g; p[2] = c.b; break;
    case 7: p[0] = c.b; p[1] = c.g; p[2] = c.r; p[3] = 0; break;
    case 8: p[0] = c.r; p[1] = c.g; p[2] = c.b; p[3] = 0; break;
    case 12: p[0] = c.b; p[1] = c.g; p[2] = c.r; p[3] = static_cast<uint8_t>(alpha); break;
    case 13: p[0] = c.r; p[1] = c.g; p[2] = c.b; p[3] = static_cast<uint8_t>(alpha); break;
    }
}

bool IsAlpha(int f) { return f >= 10; }

// The copy's key rule: whole 16-bit pixel, the colour word of 10/11, low 24
// bits of 24/32-bit pixels.
bool CopyKeyed(int f, const uint8_t* p, uint32_t key)
{
    switch (f) {
    case 2: return p[0] == (key & 0xFF);
    case 3: case 4: case 10: case 11: return Get16(p) == (key & 0xFFFF);
    default: return uint32_t(p[0] | (p[1] << 8) | (p[2] << 16)) == (key & 0xFFFFFF);
    }
}

TEST(FastPlane, creates_blank_planes_in_every_format)
{
    for (int f : AllFormats()) {
        CFastPlane p;
        ASSERT_EQ(p.CreateSurface(7, 3, f), 0) << "format " << f << " must be creatable";
        int w, h;
        p.GetSize(&w, &h);
        EXPECT_EQ(w, 7);
        EXPECT_EQ(h, 3);
        EXPECT_TRUE(p.IsCreated());
        EXPECT_EQ(p.GetPixelFormat(), f);
        EXPECT_EQ(p.HasAlpha(), f >= 10) << "format " << f << ": only 10-13 carry alpha";
        EXPECT_EQ(p.GetPlaneType(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7 * pixfmt::BytesPerPixel(f); ++x)
                ASSERT_EQ(PixelAt(p, 0, y)[x], 0) << "a new plane must be blank";
    }
}

TEST(FastPlane, refuses_bad_sizes_and_codes)
{
    CFastPlane p;
    EXPECT_EQ(p.CreateSurface(0, 5, 7), 1) << "width 0";
    EXPECT_EQ(p.CreateSurface(5, -1, 7), 1) << "negative height";
    EXPECT_EQ(p.CreateSurface(5, 5, 9), 1) << "9 is not a format";
    EXPECT_EQ(p.CreateSurface(5, 5, 1), 1) << "1 is the unsupported screen";
    EXPECT_EQ(p.CreateSurface(1 << 20, 1 << 20, 7), 1) << "a size whose bytes overflow must be refused, not allocated";
    EXPECT_FALSE(p.IsCreated());
    EXPECT_EQ(p.Lock(), 1) << "Lock without surface must answer 1";
    EXPECT_EQ(p.GetPixel(0, 0), 0u);
    EXPECT_EQ(p.Clear(nullptr), 1);
    EXPECT_EQ(p.FadeEffect(128), 1);
    EXPECT_EQ(p.AddColorFast(0x101010), 1);
}

TEST(FastPlane, create_uses_the_default_format)
{
    const int saved = CFastPlane::DefaultFormat();
    CFastPlane::SetDefaultFormat(3);
    CFastPlane p;
    ASSERT_EQ(p.Create(4, 4), 0);
    EXPECT_EQ(p.GetPixelFormat(), 3) << "Create must use the screen's format";
    CFastPlane::SetDefaultFormat(saved);
}

TEST(FastPlane, clear_and_get_pixel_round_trip_colours)
{
    for (int f : AllFormats()) {
        CFastPlane p;
        ASSERT_EQ(p.CreateSurface(5, 4, f), 0);
        ASSERT_EQ(p.Clear(0x00FF8040u, nullptr), 0);  // red FF, green 80, blue 40
        RefColour c = ReadRef(f, PixelAt(p, 2, 2));
        uint32_t want = static_cast<uint32_t>(c.r | (c.g << 8) | (c.b << 16));
        EXPECT_EQ(p.GetPixel(2, 2), want) << "format " << f << ": GetPixel must give 0x00BBGGRR";
        if (f != 2) {
            EXPECT_EQ(c.r, 0xF8 | (f >= 5 && f != 10 && f != 11 ? 7 : 0)) << "format " << f << ": red must land in the red bits";
            EXPECT_EQ(c.b, 0x40) << "format " << f << ": blue must land in the blue bits";
        }
        EXPECT_EQ(p.GetAlphaAt(2, 2), 255) << "format " << f << ": a cleared colour is opaque";
        EXPECT_EQ(p.GetPixel(5, 0), 0u) << "outside the plane GetPixel answers 0";
        Rect part{1, 1, 3, 2};
        ASSERT_EQ(p.Clear(&part), 0);
        EXPECT_EQ(p.GetPixel(1, 1), 0u) << "Clear(rect) must blank the rectangle";
        EXPECT_EQ(p.GetPixel(3, 1), want) << "Clear(rect) must leave the rest";
        EXPECT_EQ(p.GetAlphaAt(1, 1), f >= 10 ? 0 : 255) << "a blanked alpha pixel is transparent";
    }
}

TEST(FastPlane, colour_keys_are_kept_in_native_form)
{
    struct Case {
        int format;
        uint32_t key;
    } cases[] = {{3, 0xF81F}, {4, 0x7C1F}, {5, 0xFF00FF}, {6, 0xFF00FF}, {7, 0xFF00FF}, {8, 0xFF00FF},
                 {10, 0xF81F}, {11, 0x7C1F}, {12, 0xFF00FF}, {13, 0xFF00FF}};
    for (const Case& c : cases) {
        CFastPlane p;
        ASSERT_EQ(p.CreateSurface(2, 2, c.format), 0);
        ASSERT_EQ(p.SetColorKeyRGB(255, 0, 255), 0);
        EXPECT_EQ(p.GetColorKey(), c.key) << "format " << c.format << ": magenta key in the plane's own form, no alpha";
    }
    CFastPlane p;
    ASSERT_EQ(p.CreateSurface(3, 3, 5), 0);
    p.SetColorKey(0x123456);
    EXPECT_EQ(p.GetColorKey(), 0x123456u) << "format 5 holds bytes B, G, R: the value reads 0x00RRGGBB";
    ASSERT_EQ(p.CreateSurface(3, 3, 6), 0);
    p.SetColorKey(0x123456);
    EXPECT_EQ(p.GetColorKey(), 0x563412u) << "format 6 holds bytes R, G, B";
    ASSERT_EQ(p.CreateSurface(3, 3, 12), 0);
    PixelAt(p, 1, 2)[0] = 0x11; PixelAt(p, 1, 2)[1] = 0x22; PixelAt(p, 1, 2)[2] = 0x33; PixelAt(p, 1, 2)[3] = 0x80;
    ASSERT_EQ(p.SetColorKeyByPos(1, 2), 0);
    EXPECT_EQ(p.GetColorKey(), 0x332211u) << "a key taken from a pixel must drop the alpha byte";
    EXPECT_EQ(p.SetColorKeyByPos(3, 0), 1) << "a position outside the plane must answer 1";
    EXPECT_EQ(p.SetColorKeyByPos(-1, 0), 1);
    EXPECT_EQ(p.GetColorKey(), 0x332211u) << "a refused position must leave the key";
}

TEST(FastPlane, blt_and_keyed_blt_match_the_reference_on_every_pair)
{
    std::mt19937 rng(11);
    for (int df : AllFormats()) {
        for (int sf : AllFormats()) {
            CFastPlane dst, src;
            ASSERT_EQ(dst.CreateSurface(23, 17, df), 0);
            ASSERT_EQ(src.CreateSurface(19, 13, sf), 0);
            if ((df == 2) != (sf == 2)) {
                EXPECT_EQ(dst.Blt(&src, 0, 0), 2) << df << " <- " << sf << ": 8-bit planes pair only with each other";
                EXPECT_EQ(dst.BltColorKey(&src, 0, 0), 2);
                continue;
            }
            for (int n = 0; n < 12; ++n) {
                FillRandom(dst, rng);
                FillRandom(src, rng);
                // A key that really occurs in the source.
                src.SetColorKeyByPos(static_cast<int>(rng() % 19), static_cast<int>(rng() % 13));
                const uint32_t key = src.GetColorKey();
                BltCase c = RandomCase(rng, 23, 17, 19, 13);
                std::string what = "Blt " + std::to_string(df) + " <- " + std::to_string(sf);
                auto copy = [&](uint8_t* d, const uint8_t* s) {
                    if (df == sf) std::memcpy(d, s, pixfmt::BytesPerPixel(df));
                    else WriteRef(df, d, ReadRef(sf, s), IsAlpha(sf));
                };
                if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                        return d.Blt(&s, c.x, c.y, c.SrcRect(), c.DstSize(), c.Clip());
                    }, copy, what)) return;
                if (!CheckAgainstReference(dst, src, c, [&](CFastPlane& d, CFastPlane& s) {
                        return d.BltColorKey(&s, c.x, c.y, c.SrcRect(), c.DstSize(), c.Clip());
                    }, [&](uint8_t* d, const uint8_t* s) { if (!CopyKeyed(sf, s, key)) copy(d, s); }, "Keyed" + what)) return;
            }
        }
    }
}

TEST(FastPlane, keyed_copy_compares_low_24_bits_of_32_bit_pixels)
{
    CFastPlane dst, src;
    ASSERT_EQ(dst.CreateSurface(2, 1, 7), 0);
    ASSERT_EQ(src.CreateSurface(2, 1, 7), 0);
    src.SetColorKey(0x000000);
    PixelAt(src, 0, 0)[3] = 0x40;  // black with a fourth byte: still keyed by the copy
    PixelAt(src, 1, 0)[0] = 1;
    dst.Clear(0xFFFFFF, nullptr);
    ASSERT_EQ(dst.BltColorKey(&src, 0, 0), 0);
    EXPECT_EQ(dst.GetPixel(0, 0), 0xFFFFFFu) << "the copy's key ignores the fourth byte";
    EXPECT_EQ(dst.GetPixel(1, 0), 0x010000u) << "a non-key pixel is copied";
}

TEST(FastPlane, missing_planes_and_foreign_sources_are_refused)
{
    CFastPlane dst, src, empty;
    ASSERT_EQ(dst.CreateSurface(4, 4, 7), 0);
    ASSERT_EQ(src.CreateSurface(4, 4, 7), 0);
    EXPECT_EQ(dst.Blt(&empty, 0, 0), 1) << "a source without surface must answer 1";
    EXPECT_EQ(empty.Blt(&src, 0, 0), 1) << "a destination without surface must answer 1";
    CPlaneBase* base = &src;
    EXPECT_EQ(dst.Blt(base, 0, 0), 0) << "the plane interface must reach the copy";
    EXPECT_EQ(dst.Blt(static_cast<CPlaneBase*>(nullptr), 0, 0), 1) << "a null source must answer 1, not crash";
}

// The display plane takes BltAuto and BltLevel in one call each; the answers
// and pixels must be those of the plane interface's rule (AlphaBlt or
// BltColorKey, AlphaBltLevel or BlendBltColorKey), worked out here through the
// display plane's own operations.
TEST(FastPlane, blt_auto_and_blt_level_follow_the_plane_interface_rule)
{
    std::mt19937 rng(11);
    for (int srcFormat : {7, 12}) {
        CFastPlane src;
        ASSERT_EQ(src.CreateSurface(9, 7, srcFormat), 0);
        FillRandom(src, rng);
        src.SetColorKeyByPos(1, 1);
        CFastPlane start;
        ASSERT_EQ(start.CreateSurface(12, 10, 7), 0);
        FillRandom(start, rng);
        const Rect piece{1, 2, 8, 6};
        const Rect clip{2, 1, 11, 9};
        const bool alpha = srcFormat == 12;
        for (int level : {0, 77, 254, 255, 300}) {
            CFastPlane viaRule, viaOperation;
            ASSERT_EQ(viaRule.CopyFrom(start), 0);
            ASSERT_EQ(viaOperation.CopyFrom(start), 0);
            CPlaneBase* base = &viaRule;
            int want;
            if (level >= 255) {
                want = alpha ? viaOperation.AlphaBltFast(&src, 2, 1, &piece, nullptr, &clip)
                             : viaOperation.BltColorKey(&src, 2, 1, &piece, nullptr, &clip);
            } else {
                want = alpha ? viaOperation.AlphaBltFastFade(&src, 2, 1, level, &piece, nullptr, &clip)
                             : viaOperation.BlendBlt(&src, 2, 1, level, &piece, nullptr, &clip);
            }
            EXPECT_EQ(base->BltLevel(&src, 2, 1, level, &piece, nullptr, &clip), want)
                << "BltLevel at " << level << " from format " << srcFormat;
            EXPECT_EQ(Snapshot(viaRule), Snapshot(viaOperation))
                << "BltLevel at " << level << " from format " << srcFormat << " drew other pixels than its rule";
        }
        CFastPlane viaRule, viaOperation;
        ASSERT_EQ(viaRule.CopyFrom(start), 0);
        ASSERT_EQ(viaOperation.CopyFrom(start), 0);
        CPlaneBase* base = &viaRule;
        const int want = alpha ? viaOperation.AlphaBltFast(&src, -1, 3, &piece) : viaOperation.BltColorKey(&src, -1, 3, &piece);
        EXPECT_EQ(base->BltAuto(&src, -1, 3, &piece), want);
        EXPECT_EQ(Snapshot(viaRule), Snapshot(viaOperation))
            << "BltAuto from format " << srcFormat << " drew other pixels than its rule";
        // The interface's alpha operations are the display plane's own.
        EXPECT_EQ(base->AlphaBlt(&src, 3, -2, &piece, nullptr, &clip),
                  viaOperation.AlphaBltFast(&src, 3, -2, &piece, nullptr, &clip));
        EXPECT_EQ(base->AlphaBltFade(&src, 1, 1, 90), viaOperation.AlphaBltFastFade(&src, 1, 1, 90, nullptr, nullptr, nullptr));
        EXPECT_EQ(Snapshot(viaRule), Snapshot(viaOperation))
            << "AlphaBlt or AlphaBltFade from format " << srcFormat << " drew other pixels than the display plane's";
    }
    CFastPlane dst;
    ASSERT_EQ(dst.CreateSurface(4, 4, 7), 0);
    CPlaneBase* base = &dst;
    // Planes that are not display planes, with and without alpha.
    RecordingPlane withAlpha(4, 4, true), without(4, 4, false);
    for (CPlaneBase* foreign : std::initializer_list<CPlaneBase*>{&withAlpha, &without}) {
        EXPECT_EQ(base->BltAuto(foreign, 0, 0), 2) << "a source that is not a display plane must answer 2";
        EXPECT_EQ(base->BltLevel(foreign, 0, 0, 100), 2) << "a source that is not a display plane must answer 2";
        EXPECT_EQ(base->BltLevel(foreign, 0, 0, 255), 2) << "a source that is not a display plane must answer 2";
    }
    EXPECT_EQ(base->AlphaBlt(&withAlpha, 0, 0), 2) << "a source that is not a display plane must answer 2";
    EXPECT_EQ(base->AlphaBltFade(&withAlpha, 0, 0, 100), 2) << "a source that is not a display plane must answer 2";
    EXPECT_EQ(base->BltAuto(nullptr, 0, 0), 1) << "a null source must answer 1";
    EXPECT_EQ(base->BltLevel(nullptr, 0, 0, 100), 1) << "a null source must answer 1";
    EXPECT_EQ(base->AlphaBlt(nullptr, 0, 0), 1) << "a null source must answer 1";
    EXPECT_EQ(base->AlphaBltFade(nullptr, 0, 0, 100), 1) << "a null source must answer 1";
    const Rates half = 0x00808080;  // 128/256 on every channel
    EXPECT_EQ(base->RateBlt(&dst, 0, 0, half, half), 2) << "the display plane has no scaled blits: format pair refused";
    EXPECT_EQ(base->RateBltColorKey(&dst, 0, 0, half, half), 2);
    EXPECT_EQ(base->AlphaRateBlt(&dst, 0, 0, half, half), 2);
    EXPECT_FALSE(withAlpha.IsDisplayPlane()) << "only display planes carry the display-plane tag";
    EXPECT_TRUE(dst.IsDisplayPlane());
}

TEST(FastPlane, blitting_a_plane_onto_itself_reads_the_pixels_before_the_call)
{
    CFastPlane p, expected;
    ASSERT_EQ(p.CreateSurface(16, 8, 7), 0);
    std::mt19937 rng(3);
    FillRandom(p, rng);
    ASSERT_EQ(expected.CopyFrom(p), 0);
    CFastPlane snapshot;
    ASSERT_EQ(snapshot.CopyFrom(p), 0);
    ASSERT_EQ(expected.Blt(&snapshot, 3, 2), 0);
    ASSERT_EQ(p.Blt(&p, 3, 2), 0);
    EXPECT_EQ(Snapshot(p), Snapshot(expected)) << "an overlapping self-copy must not smear already-copied pixels";
}

TEST(FastPlane, blt_from_frame_converts_and_checks_the_pitch)
{
    CFastPlane p;
    ASSERT_EQ(p.CreateSurface(3, 2, 3), 0);
    uint8_t frame[2][12] = {};
    frame[1][2 * 4 + 0] = 0xFF;  // format 7 pixel (2, 1): blue
    ASSERT_EQ(p.BltFromFrame(&frame[0][0], 12, 3, 2, 7), 0);
    EXPECT_EQ(p.GetPixel(2, 1), 0xF80000u) << "a format-7 frame must arrive as blue in 5-6-5";
    EXPECT_EQ(p.BltFromFrame(&frame[0][0], 8, 3, 2, 7), 2) << "a pitch shorter than a row must be refused";
    EXPECT_EQ(p.BltFromFrame(&frame[0][0], 12, 3, 2, 9), 2) << "an unknown format must be refused";
}

}  // namespace
