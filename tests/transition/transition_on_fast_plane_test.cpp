// The transitions drawing real display planes of 32 and 16 bits: nothing is
// ever written outside the clip or the plane (AddressSanitizer watches the
// plane storage, a guard band the clip), level 256 leaves exactly the plain
// picture, and one effect per family is checked pixel by pixel against the
// picture worked out by hand from its formula.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "transition/BlindRectTransitions.h"
#include "transition/CircleWhorlWaveTransitions.h"
#include "transition/CutInTransitions.h"
#include "transition/DiffusionTransitions.h"
#include "transition/SlitCurtainTransitions.h"
#include "transition/TransitionNameTable.h"

namespace {

struct FormatPair {
    int screen;  // destination (and plain source) format
    int alpha;   // source format with an alpha channel
    const char* name;
};

const FormatPair kFormats[] = {
    {pixfmt::kBGRX32, pixfmt::kBGRA32, "32-bit"},
    {pixfmt::k565, pixfmt::k565A4, "16-bit"},
};

std::unique_ptr<CFastPlane> MakePlane(int format, int w, int h, uint32_t seed)
{
    auto plane = std::make_unique<CFastPlane>();
    EXPECT_EQ(plane->CreateSurface(w, h, format), 0) << "could not make a test plane";
    const SurfaceView v = plane->GetSurfaceView();
    std::mt19937 rng(seed);
    const int rowBytes = w * pixfmt::BytesPerPixel(format);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = v.pixels + static_cast<intptr_t>(y) * v.pitch;
        for (int i = 0; i < rowBytes; ++i) {
            row[i] = static_cast<uint8_t>(rng() | 0x10);  // never all zero: the default key is black
        }
    }
    return plane;
}

std::vector<uint8_t> Snapshot(CFastPlane& plane, int bytesPerPixel)
{
    const SurfaceView v = plane.GetSurfaceView();
    const int w = v.rect.right, h = v.rect.bottom;
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * bytesPerPixel);
    for (int y = 0; y < h; ++y) {
        std::memcpy(&out[static_cast<size_t>(y) * w * bytesPerPixel], v.pixels + static_cast<intptr_t>(y) * v.pitch,
                    static_cast<size_t>(w) * bytesPerPixel);
    }
    return out;
}

TEST(TransitionOnFastPlane, every_effect_at_every_level_stays_inside_the_clip)
{
    const int dw = 48, dh = 40;
    const Rect clip{6, 5, 42, 35};
    for (const FormatPair& f : kFormats) {
        const int bpp = pixfmt::BytesPerPixel(f.screen);
        for (bool alphaSource : {false, true}) {
            auto src = MakePlane(alphaSource ? f.alpha : f.screen, 30, 21, 7);
            for (int n = 0; n < kTransitionCount; ++n) {
                for (uint32_t mode = 0; mode < 4; ++mode) {
                    auto dst = MakePlane(f.screen, dw, dh, 11);
                    const std::vector<uint8_t> before = Snapshot(*dst, bpp);
                    for (int level = 0; level <= 256; ++level) {
                        TransitionNameTable[n].func(dst.get(), src.get(), 9, 7, level, mode, 200, &clip);
                    }
                    const std::vector<uint8_t> after = Snapshot(*dst, bpp);
                    bool drewInside = false;
                    for (int y = 0; y < dh; ++y) {
                        for (int x = 0; x < dw; ++x) {
                            if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
                                const size_t at = (static_cast<size_t>(y) * dw + x) * bpp;
                                drewInside = drewInside || std::memcmp(&before[at], &after[at], bpp) != 0;
                                continue;
                            }
                            const size_t at = (static_cast<size_t>(y) * dw + x) * bpp;
                            ASSERT_EQ(std::memcmp(&before[at], &after[at], bpp), 0)
                                << TransitionNameTable[n].name << " mode " << mode << " on " << f.name
                                << (alphaSource ? " with alpha" : "") << " wrote outside the clip at (" << x << ", "
                                << y << ")";
                        }
                    }
                    // The per-pixel alpha blit of mode 2 refuses a source without alpha.
                    EXPECT_TRUE(drewInside || (mode == 2 && !alphaSource)) << TransitionNameTable[n].name << " mode " << mode << " on " << f.name
                                            << " drew nothing at all: the check above proves nothing";
                }
            }
        }
    }
}

// Without a clip the plane's own edges bound the drawing; a picture larger
// than the destination, hanging over every edge, must not write past the
// plane's storage (AddressSanitizer reports it if it does).
TEST(TransitionOnFastPlane, every_effect_at_every_level_stays_inside_the_plane)
{
    for (const FormatPair& f : kFormats) {
        auto src = MakePlane(f.alpha, 60, 50, 3);
        auto dst = MakePlane(f.screen, 48, 40, 5);
        for (int n = 0; n < kTransitionCount; ++n) {
            for (int level = 0; level <= 256; level += 1) {
                const uint32_t mode = static_cast<uint32_t>(level % 4);
                EXPECT_GE(TransitionNameTable[n].func(dst.get(), src.get(), -7, -5, level, mode, 128, nullptr), -1);
            }
        }
    }
}

TEST(TransitionOnFastPlane, level_256_leaves_exactly_the_plain_picture)
{
    for (const FormatPair& f : kFormats) {
        auto src = MakePlane(f.screen, 20, 14, 21);
        for (int n = 0; n < kTransitionCount; ++n) {
            for (uint32_t mode : {0u, 3u}) {
                auto dst = MakePlane(f.screen, 32, 24, 22);
                auto original = MakePlane(f.screen, 32, 24, 22);
                EXPECT_EQ(TransitionNameTable[n].func(dst.get(), src.get(), 5, 3, 256, mode, 255, nullptr), 0);
                for (int y = 0; y < 24; ++y) {
                    for (int x = 0; x < 32; ++x) {
                        const bool inside = x >= 5 && x < 25 && y >= 3 && y < 17;
                        const uint32_t expected = inside ? src->GetPixel(x - 5, y - 3) : original->GetPixel(x, y);
                        ASSERT_EQ(dst->GetPixel(x, y), expected)
                            << TransitionNameTable[n].name << " mode " << mode << " on " << f.name << " at (" << x
                            << ", " << y << ") is not the plain picture";
                    }
                }
            }
        }
    }
}

// Draws `effect` at `level` (mode 0) onto a fresh destination and compares
// every pixel with the source pixel `shows` names, or the old picture where
// it names none.
void ExpectPicture(const char* what, TransitionFunc effect, int format, int w, int h, int x, int y, int dw, int dh,
                   int level, const std::function<bool(int dx, int dy, int* sx, int* sy)>& shows)
{
    auto src = MakePlane(format, w, h, 41);
    auto dst = MakePlane(format, dw, dh, 42);
    auto original = MakePlane(format, dw, dh, 42);
    effect(dst.get(), src.get(), x, y, level, 0, 255, nullptr);
    for (int dy = 0; dy < dh; ++dy) {
        for (int dx = 0; dx < dw; ++dx) {
            int sx = 0, sy = 0;
            const uint32_t expected = shows(dx, dy, &sx, &sy) ? src->GetPixel(sx, sy) : original->GetPixel(dx, dy);
            ASSERT_EQ(dst->GetPixel(dx, dy), expected)
                << what << " at level " << level << ": pixel (" << dx << ", " << dy << ") is wrong";
        }
    }
}

class FamilyPicture : public ::testing::TestWithParam<FormatPair> {};

TEST_P(FamilyPicture, interlaced_wipe_matches_its_rows)
{
    const int w = 40, h = 9;
    for (int level : {64, 128, 200}) {
        const int s = (w * level) >> 8;
        ExpectPicture("CutInBlt13", CutInBlt13, GetParam().screen, w, h, 0, 0, w, h, level,
                      [&](int dx, int dy, int* sx, int* sy) {
                          *sx = dx;
                          *sy = dy;
                          return dy % 2 == 0 ? dx < s : dx >= std::max(w - s - 1, 0);
                      });
    }
}

TEST_P(FamilyPicture, right_hand_slit_curtain_matches_its_strips)
{
    const int w = 45, h = 6;
    for (int level : {50, 128, 255}) {
        const int n = (w + 17) / 16;
        const int t = ((n + 16) * level) / 256;
        ExpectPicture("SlitCurtainBlt2", SlitCurtainBlt2, GetParam().screen, w, h, 2, 1, 50, 8, level,
                      [&](int dx, int dy, int* sx, int* sy) {
                          *sx = dx - 2;
                          *sy = dy - 1;
                          if (*sx < 0 || *sx >= w || *sy < 0 || *sy >= h) {
                              return false;
                          }
                          const int strip = (w - 1 - *sx) / 16;
                          const int fromRight = (w - 1 - *sx) % 16;
                          return strip < n && strip < t && fromRight < std::min(t - strip, 16);
                      });
    }
}

TEST_P(FamilyPicture, slanted_blind_matches_its_runs)
{
    const int w = 21, h = 15;
    for (int level : {128, 255}) {
        const int run = level >> 5;
        ExpectPicture("BlindBlt9", BlindBlt9, GetParam().screen, w, h, 0, 0, w, h, level,
                      [&](int dx, int dy, int* sx, int* sy) {
                          *sx = dx;
                          *sy = dy;
                          return (dx + dy % 7) % 8 < run;
                      });
    }
}

TEST_P(FamilyPicture, outward_whorl_matches_its_spiral)
{
    static const int kOutward[16] = {6, 7, 8, 9, 5, 0, 1, 10, 4, 3, 2, 11, 15, 14, 13, 12};
    const int w = 13, h = 11;
    for (int level : {20, 100, 250}) {
        ExpectPicture("WhorlBlt2", WhorlBlt2, GetParam().screen, w, h, 0, 0, w, h, level,
                      [&](int dx, int dy, int* sx, int* sy) {
                          *sx = dx;
                          *sy = dy;
                          return kOutward[4 * (dy & 3) + (dx & 3)] <= (level >> 4);
                      });
    }
}

TEST_P(FamilyPicture, rotation_at_half_a_turn_mirrors_the_block_grid)
{
    // At level 128 the block at (bx, by) lands at (x + w - bx, y + h - by).
    const int w = 16, h = 12, x = 4, y = 3;
    ExpectPicture("RotationBlt2", RotationBlt2, GetParam().screen, w, h, x, y, 30, 22, 128,
                  [&](int dx, int dy, int* sx, int* sy) {
                      const int ox = dx - x, oy = dy - y;  // w - bx + i, h - by + j
                      if (ox < 4 || oy < 4 || ox >= w + 4 || oy >= h + 4) {
                          return false;
                      }
                      const int bx = w - (ox & ~3), by = h - (oy & ~3);
                      *sx = bx + (ox & 3);
                      *sy = by + (oy & 3);
                      return true;
                  });
}

INSTANTIATE_TEST_SUITE_P(Formats, FamilyPicture, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return info.param.screen == pixfmt::kBGRX32 ? "bits32" : "bits16"; });

}  // namespace
