// Quake envelopes and offsets, flash levels, frame by frame.
#include <gtest/gtest.h>

#include <vector>

#include "frame/CRand.h"
#include "game/ScreenQuake.h"

namespace {

TEST(ScreenQuake, envelopes_follow_their_shapes_frame_by_frame)
{
    const std::vector<double> three = {1.0, 0.8, 0.6, 0.4, 0.2, 0.0, 0.2, 0.4, 0.6, 0.8};
    for (int i = 0; i < 10; ++i) {
        const int t = 10 - i;
        EXPECT_NEAR(CScreenQuake::EnvelopeFactor(3, t, 10), three[i], 1e-9) << "envelope 3 at t=" << t;
        EXPECT_NEAR(CScreenQuake::EnvelopeFactor(4, t, 10), 1.0 - three[i], 1e-9) << "envelope 4 is 1 - envelope 3";
        EXPECT_NEAR(CScreenQuake::EnvelopeFactor(1, t, 10), (10.0 - t) / 10, 1e-9) << "envelope 1 grows";
        EXPECT_NEAR(CScreenQuake::EnvelopeFactor(2, t, 10), t / 10.0, 1e-9) << "envelope 2 falls";
        EXPECT_EQ(CScreenQuake::EnvelopeFactor(7, t, 10), 1.0) << "an unknown envelope is constant";
    }
}

TEST(ScreenQuake, raw_offsets_span_minus_a_to_a_minus_one)
{
    crt::srand(12345);
    int lo = 100, hi = -100;
    for (int i = 0; i < 2000; ++i) {
        const int r = CScreenQuake::RawOffset(5);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_EQ(lo, -5) << "amplitude 5 reaches -5";
    EXPECT_EQ(hi, 4) << "amplitude 5 never passes 4";
}

TEST(ScreenQuake, amplitude_of_zero_or_below_gives_no_offset_instead_of_dividing_by_zero)
{
    EXPECT_EQ(CScreenQuake::RawOffset(0), 0);
    EXPECT_EQ(CScreenQuake::RawOffset(-3), 0);
    CScreenQuake q;
    q.StartQuake(0, 300, 0, 0);
    int32_t x = 1, y = 1;
    q.GetQuakeOffset(&x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST(ScreenQuake, axis_one_moves_only_vertically_and_axis_two_only_sideways)
{
    CScreenQuake vertical, horizontal;
    vertical.StartQuake(1, 3000, 0, 20);
    horizontal.StartQuake(2, 3000, 0, 20);
    bool movedY = false, movedX = false;
    for (int i = 0; i < 50; ++i) {
        int32_t x, y;
        vertical.GetQuakeOffset(&x, &y);
        EXPECT_EQ(x, 0) << "axis 1 must never move sideways";
        movedY |= y != 0;
        horizontal.GetQuakeOffset(&x, &y);
        EXPECT_EQ(y, 0) << "axis 2 must never move vertically";
        movedX |= x != 0;
    }
    EXPECT_TRUE(movedY && movedX) << "a quake of amplitude 20 must move the picture";
}

TEST(ScreenQuake, offset_is_the_raw_draw_scaled_by_the_envelope_and_truncated)
{
    CScreenQuake q;
    q.StartQuake(0, 300, 2, 10);  // 10 frames, falling envelope
    q.Step();
    q.Step();  // t = 8: factor 0.8
    crt::srand(99);
    const int rx = CScreenQuake::RawOffset(10);
    const int ry = CScreenQuake::RawOffset(10);
    crt::srand(99);
    int32_t x, y;
    q.GetQuakeOffset(&x, &y);
    EXPECT_EQ(x, static_cast<int>(rx * 0.8)) << "x is drawn first and scaled by t/d";
    EXPECT_EQ(y, static_cast<int>(ry * 0.8)) << "y is the second draw";
}

TEST(ScreenQuake, quake_runs_duration_over_thirty_plus_one_frames_and_ends_at_rest)
{
    CScreenQuake q;
    q.StartQuake(0, 95, 0, 4);  // 3 frames
    int applied = 0;
    while (q.GetState() == CScreenQuake::kQuake) {
        ++applied;
        int32_t x, y;
        q.GetQuakeOffset(&x, &y);
        if (q.Step() == CScreenQuake::kRest) {
            EXPECT_EQ(x, 0) << "the last quake frame has no offset";
            EXPECT_EQ(y, 0);
        }
        ASSERT_LT(applied, 100) << "the quake must end";
    }
    EXPECT_EQ(applied, 4) << "95 / 30 = 3 frames, plus the frame at rest";
    CScreenQuake shortOne;
    shortOne.StartQuake(0, 29, 0, 4);
    int32_t x = 1, y = 1;
    shortOne.GetQuakeOffset(&x, &y);
    EXPECT_EQ(x | y, 0) << "a duration below 30 gives one frame without offset";
    EXPECT_EQ(shortOne.Step(), CScreenQuake::kRest);
}

TEST(ScreenQuake, flash_rises_falls_and_ends_with_a_frame_at_zero)
{
    CScreenQuake q;
    q.StartFlash(0xFF8040, 2, 2);
    std::vector<uint32_t> colors;
    while (q.GetState() == CScreenQuake::kFlash) {
        uint32_t c;
        q.GetFlashColor(&c);
        colors.push_back(c);
        q.Step();
        ASSERT_LT(colors.size(), 20u) << "the flash must end";
    }
    // f: 0, 0.5 (rising 1 - r/2), 1, 0.5 (falling r/2), then 0.
    const std::vector<uint32_t> expected = {0xFF000000u, 0xFF7F4020u, 0xFFFF8040u, 0xFF7F4020u, 0xFF000000u};
    EXPECT_EQ(colors, expected) << "red 255 green 128 blue 64 at f = 0.5 is 127, 64, 32, top byte 255";
}

TEST(ScreenQuake, flash_with_both_lengths_zero_shows_one_frame_at_zero)
{
    CScreenQuake q;
    q.StartFlash(0xFFFFFF, 0, 0);
    uint32_t c = 1;
    q.GetFlashColor(&c);
    EXPECT_EQ(c, 0xFF000000u);
    EXPECT_EQ(q.Step(), CScreenQuake::kRest);
}

}  // namespace
