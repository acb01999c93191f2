// The transitions' direct piece path on display planes against the plane
// interface: every one of the 75 effects, in every draw mode, at a set of
// levels, over the format pairs the game meets (32- and 16-bit screens,
// pictures with and without alpha, keyed pixels, alpha onto alpha, a format
// conversion), with and without a clip and with the picture hanging off the
// edges, must leave the target byte for byte as the plane-interface calls do.
//
// The plane-interface path is forced by wrapping the target in a plane that
// is not a display plane and forwards every call to the real one, so each
// piece goes through the virtual operations the effects name.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "frame/CRand.h"
#include "raster/Simd.h"
#include "support/RecordingPlane.h"
#include "transition/EffectTables.h"
#include "transition/TransitionNameTable.h"

namespace {

// Hands every call to `target` through the plane interface. Not a display
// plane, so the transitions take the per-operation path.
RecordingPlane InterfacePath(CPlaneBase* target)
{
    RecordingPlane path;
    path.target = target;
    path.record = false;
    return path;
}

struct Pair {
    int dst;
    int src;
    const char* name;
};

const Pair kPairs[] = {
    {pixfmt::kBGRX32, pixfmt::kBGRA32, "32-bit screen, picture with alpha"},
    {pixfmt::kBGRX32, pixfmt::kBGRX32, "32-bit screen, keyed picture"},
    {pixfmt::k565, pixfmt::k565A4, "16-bit screen, picture with alpha"},
    {pixfmt::k565, pixfmt::k565, "16-bit screen, keyed picture"},
    {pixfmt::kBGRA32, pixfmt::kBGRA32, "32-bit alpha onto alpha"},
    {pixfmt::k565A4, pixfmt::k565A4, "16-bit alpha onto alpha"},
    {pixfmt::k565, pixfmt::kBGRX32, "32-bit picture onto a 16-bit screen"},
};

// Random pixels, a quarter of them the colour key (black) so the keyed
// modes have something to skip.
std::unique_ptr<CFastPlane> MakePlane(int format, int w, int h, uint32_t seed)
{
    auto plane = std::make_unique<CFastPlane>();
    EXPECT_EQ(plane->CreateSurface(w, h, format), 0) << "could not make a test plane";
    const SurfaceView v = plane->GetSurfaceView();
    const int bpp = pixfmt::BytesPerPixel(format);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = v.pixels + static_cast<intptr_t>(y) * v.pitch;
        for (int i = 0; i < w; ++i) {
            const bool keyed = rng() % 4 == 0;
            for (int b = 0; b < bpp; ++b) {
                row[i * bpp + b] = keyed ? 0 : static_cast<uint8_t>(rng());
            }
        }
    }
    plane->SetColorKey(0);
    return plane;
}

std::vector<uint8_t> Pixels(CFastPlane& plane)
{
    const SurfaceView v = plane.GetSurfaceView();
    const size_t rowBytes = static_cast<size_t>(v.rect.right) * pixfmt::BytesPerPixel(plane.GetPixelFormat());
    std::vector<uint8_t> out(rowBytes * v.rect.bottom);
    for (int y = 0; y < v.rect.bottom; ++y) {
        std::memcpy(&out[y * rowBytes], v.pixels + static_cast<intptr_t>(y) * v.pitch, rowBytes);
    }
    return out;
}

// Where the picture lands and what clips it.
struct Placement {
    int x;
    int y;
    std::optional<Rect> clip;
    const char* name;
};

const Placement kPlacements[] = {
    {5, 4, std::nullopt, "inside, no clip"},
    {-7, 13, Rect{3, 2, 41, 33}, "hanging off the left and bottom, clipped"},
    {26, -5, std::nullopt, "hanging off the right and top, no clip"},
};

const int32_t kLevels[] = {0, 1, 2, 15, 16, 17, 40, 64, 100, 127, 128, 129, 200, 239, 240, 241, 254, 255, 256};

// The first byte where two frames differ, as (x, y, byte), for the message.
std::string FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int w, int bpp)
{
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            const size_t px = i / bpp;
            return "pixel (" + std::to_string(px % w) + ", " + std::to_string(px / w) + ") byte " +
                   std::to_string(i % bpp) + ": " + std::to_string(a[i]) + " through the interface, " +
                   std::to_string(b[i]) + " direct";
        }
    }
    return "none";
}

// One effect drawn from the same target and generator state through the
// plane interface and on the direct path: the answers, whether the generator
// ends alike, and the pixels.
struct BothPaths {
    int expected;
    int got;
    bool sameGenerator;
    std::vector<uint8_t> want;
    std::vector<uint8_t> have;
};

BothPaths RunBothPaths(const TransitionEntry& t, const CFastPlane& start, CFastPlane* src, const Placement& at,
                       int32_t level, uint32_t mode, uint32_t modeArg)
{
    const Rect* clip = at.clip ? &*at.clip : nullptr;
    CFastPlane viaInterface;
    CFastPlane direct;
    EXPECT_EQ(viaInterface.CopyFrom(start), 0) << "could not copy the test plane";
    EXPECT_EQ(direct.CopyFrom(start), 0) << "could not copy the test plane";
    RecordingPlane wrapped = InterfacePath(&viaInterface);
    // The random effects draw from the generator: both runs start from one state.
    const uint32_t seed = crt::RandState();
    const int expected = t.func(&wrapped, src, at.x, at.y, level, mode, modeArg, clip);
    const uint32_t after = crt::RandState();
    crt::RandState() = seed;
    const int got = t.func(&direct, src, at.x, at.y, level, mode, modeArg, clip);
    return {expected, got, after == crt::RandState(), Pixels(viaInterface), Pixels(direct)};
}

// Every effect, mode, placement and level on one format pair, both paths.
void ExpectDirectPathMatchesInterface(const Pair& pair)
{
    const int dw = 44, dh = 36;
    // Made up front: the first making reseeds the generator, which would
    // make the two runs of the first block effect start differently.
    CreateEffectTables();
    {
        const int bpp = pixfmt::BytesPerPixel(pair.dst);
        auto src = MakePlane(pair.src, 31, 23, 3);
        auto start = MakePlane(pair.dst, dw, dh, 5);
        for (const Placement& at : kPlacements) {
            for (uint32_t mode = 0; mode <= 4; ++mode) {
                // Mode 2's factor in its low byte; the high bits must be ignored alike.
                for (uint32_t modeArg : mode == 2 ? std::vector<uint32_t>{0, 77, 0x1C8, 255}
                                                  : std::vector<uint32_t>{255}) {
                    for (int n = 0; n < kTransitionCount; ++n) {
                        const TransitionEntry& t = TransitionNameTable[n];
                        for (int32_t level : kLevels) {
                            const BothPaths r = RunBothPaths(t, *start, src.get(), at, level, mode, modeArg);
                            ASSERT_TRUE(r.sameGenerator)
                                << t.name << " consumes the generator differently on the direct path";
                            ASSERT_EQ(r.expected, r.got) << t.name << " answers differently on the direct path ("
                                                     << pair.name << ", " << at.name << ", mode " << mode
                                                     << ", level " << level << ")";
                            ASSERT_TRUE(r.want == r.have)
                                << t.name << " draws different pixels on the direct path (" << pair.name << ", "
                                << at.name << ", mode " << mode << ", factor " << modeArg << ", level " << level
                                << "); first difference at " << FirstDifference(r.want, r.have, dw, bpp);
                        }
                    }
                }
            }
        }
    }
}

TEST(PreparedBltPath, every_effect_draws_the_same_pixels_as_through_the_plane_interface)
{
    for (const Pair& pair : kPairs) {
        ExpectDirectPathMatchesInterface(pair);
    }
}

// The direct path's vector kernels (the column wipes' masked rows, the
// blocks' inline mixes) against the plane interface with the rows each
// level allows, on the pair the game draws most.
class PreparedBltPathAtSimdLevel : public ::testing::TestWithParam<raster::SimdLevel> {
protected:
    void SetUp() override
    {
        if (raster::SetSimdLevel(GetParam()) != GetParam()) GTEST_SKIP() << "this processor lacks the instructions";
    }
    void TearDown() override { raster::SetSimdEnabled(true); }
};

TEST_P(PreparedBltPathAtSimdLevel, every_effect_draws_the_same_pixels_as_through_the_plane_interface)
{
    ExpectDirectPathMatchesInterface(kPairs[0]);
}

INSTANTIATE_TEST_SUITE_P(Levels, PreparedBltPathAtSimdLevel,
                         ::testing::Values(raster::SimdLevel::kScalar, raster::SimdLevel::kSse2),
                         [](const ::testing::TestParamInfo<raster::SimdLevel>& info) {
                             return info.param == raster::SimdLevel::kScalar ? "scalar" : "sse2";
                         });

// The block effects on a picture whose rows split into whole blocks, wider
// than one stretch of 64 2 x 2 blocks: their whole stretches go to the
// drawer's block form, each block placed from its grid row. Also placed far
// out (past the range where a place is worked without saturating, and at the
// edge of 32 bits), where both paths must still agree: nothing lands, or
// what lands matches.
TEST(PreparedBltPath, block_effects_on_whole_block_rows_draw_the_same_pixels_as_through_the_plane_interface)
{
    CreateEffectTables();
    const int dw = 300, dh = 40;
    auto src = MakePlane(pixfmt::kBGRA32, 264, 24, 11);
    auto start = MakePlane(pixfmt::kBGRX32, dw, dh, 12);
    const Placement placements[] = {
        {18, 8, std::nullopt, "inside"},
        {-9, 21, Rect{4, 3, 290, 37}, "hanging off the left and bottom, clipped"},
        {(1 << 28) + 4, 2, std::nullopt, "past 2^28 across"},
        {2, -(1 << 28) - 6, std::nullopt, "past 2^28 up"},
        {2147483647 - 200, 2147483647 - 30, std::nullopt, "at the edge of 32 bits"},
    };
    for (const Placement& at : placements) {
        for (uint32_t mode : {2u, 3u}) {
            for (int n = 50; n <= 62; ++n) {
                const TransitionEntry& t = TransitionNameTable[n];
                for (int32_t level : kLevels) {
                    const BothPaths r = RunBothPaths(t, *start, src.get(), at, level, mode, 200);
                    ASSERT_TRUE(r.want == r.have)
                        << t.name << " draws different pixels on the direct path (" << at.name << ", mode " << mode
                        << ", level " << level << "); first difference at " << FirstDifference(r.want, r.have, dw, 4);
                }
            }
        }
    }
}

// The slit curtains draw the strips already wide open as one band on the
// direct path. At every level, so that each strip is met both one unit short
// of wide open (when it must still be left out of the band) and just wide
// open, across and down, from either side, with strips of 8 and 16.
TEST(PreparedBltPath, slit_curtains_at_every_level_draw_the_same_pixels_as_through_the_plane_interface)
{
    auto src = MakePlane(pixfmt::kBGRA32, 31, 23, 3);
    auto start = MakePlane(pixfmt::kBGRX32, 44, 36, 5);
    for (const Placement& at : kPlacements) {
        for (int n = 63; n <= 70; ++n) {  // SlitCurtainBlt1 to 8
            const TransitionEntry& t = TransitionNameTable[n];
            for (int32_t level = 0; level <= 256; ++level) {
                const BothPaths r = RunBothPaths(t, *start, src.get(), at, level, 0, 255);
                ASSERT_TRUE(r.want == r.have)
                    << t.name << " draws different pixels on the direct path (" << at.name << ", level " << level
                    << "); first difference at " << FirstDifference(r.want, r.have, 44, 4);
            }
        }
    }
}

// A plane drawn onto itself reads a snapshot taken before each operation;
// the direct path must leave that to the plane interface.
TEST(PreparedBltPath, an_effect_drawing_a_plane_onto_itself_matches_the_plane_interface)
{
    for (const Pair& pair : {kPairs[0], kPairs[2]}) {
        auto start = MakePlane(pair.src, 40, 30, 9);
        const int bpp = pixfmt::BytesPerPixel(pair.src);
        for (uint32_t mode = 0; mode <= 3; ++mode) {
            for (int n = 0; n < kTransitionCount; ++n) {
                for (int32_t level : {1, 100, 200, 255}) {
                    CFastPlane viaInterface;
                    CFastPlane direct;
                    ASSERT_EQ(viaInterface.CopyFrom(*start), 0) << "could not copy the test plane";
                    ASSERT_EQ(direct.CopyFrom(*start), 0) << "could not copy the test plane";
                    RecordingPlane wrapped = InterfacePath(&viaInterface);
                    const uint32_t seed = crt::RandState();
                    TransitionNameTable[n].func(&wrapped, &viaInterface, 3, 2, level, mode, 128, nullptr);
                    crt::RandState() = seed;
                    TransitionNameTable[n].func(&direct, &direct, 3, 2, level, mode, 128, nullptr);
                    const std::vector<uint8_t> want = Pixels(viaInterface);
                    const std::vector<uint8_t> have = Pixels(direct);
                    ASSERT_TRUE(want == have) << TransitionNameTable[n].name << " drawn onto itself differs ("
                                              << pair.name << ", mode " << mode << ", level " << level
                                              << "); first difference at " << FirstDifference(want, have, 40, bpp);
                }
            }
        }
    }
}

// Planes without a surface draw nothing and answer alike on both paths.
TEST(PreparedBltPath, planes_without_surface_answer_as_through_the_plane_interface)
{
    auto screen = MakePlane(pixfmt::kBGRX32, 20, 20, 1);
    CFastPlane empty;
    for (int n = 0; n < kTransitionCount; ++n) {
        for (uint32_t mode = 0; mode <= 3; ++mode) {
            for (int32_t level : {1, 128, 256}) {
                RecordingPlane wrapped = InterfacePath(screen.get());
                const std::vector<uint8_t> before = Pixels(*screen);
                const uint32_t seed = crt::RandState();
                const int expected = TransitionNameTable[n].func(&wrapped, &empty, 0, 0, level, mode, 255, nullptr);
                crt::RandState() = seed;
                const int got = TransitionNameTable[n].func(screen.get(), &empty, 0, 0, level, mode, 255, nullptr);
                EXPECT_EQ(expected, got) << TransitionNameTable[n].name << " answers differently for an empty source";
                EXPECT_TRUE(before == Pixels(*screen))
                    << TransitionNameTable[n].name << " drew something from a source without surface";
                RecordingPlane emptyTarget = InterfacePath(&empty);
                const int throughInterface =
                    TransitionNameTable[n].func(&emptyTarget, screen.get(), 0, 0, level, mode, 255, nullptr);
                EXPECT_EQ(throughInterface,
                          TransitionNameTable[n].func(&empty, screen.get(), 0, 0, level, mode, 255, nullptr))
                    << TransitionNameTable[n].name << " answers differently for a target without surface";
            }
        }
    }
}

}  // namespace
