#include <gtest/gtest.h>

#include <numeric>

#include "support/ManualClock.h"
#include "frame/CFrameTimer.h"

namespace {

TEST(FrameTimer, period_is_16_16_milliseconds)
{
    ManualClock clock;
    CFrameTimer timer;
    EXPECT_EQ(timer.GetPeriod(), 65536000u / 60) << "a new frame timer runs at 60 frames per second";
    timer.SetFPS(30);
    EXPECT_EQ(timer.GetPeriod(), 2184533u) << "30 fps: 65536000 / 30";
    timer.SetFPS(0);
    EXPECT_EQ(timer.GetPeriod(), 2184533u) << "a rate of 0 must be refused, not divide by zero";
    timer.SetFPS(-5);
    EXPECT_EQ(timer.GetPeriod(), 2184533u) << "a negative rate must be refused";
}

TEST(FrameTimer, thirty_frames_take_one_second_exactly)
{
    ManualClock clock;
    CFrameTimer timer;
    timer.SetFPS(30);
    const uint32_t start = ManualClock::now;
    for (int i = 0; i < 30; ++i) {
        timer.WaitFrame();
    }
    EXPECT_EQ(ManualClock::now - start, 1000u)
        << "the fractional 33.33 ms period must not drift: 30 frames are one second";
    for (int ms : ManualClock::sleeps) {
        EXPECT_TRUE(ms == 33 || ms == 34) << "each wait must be one frame, got " << ms << " ms";
    }
}

TEST(FrameTimer, work_time_is_taken_off_the_wait)
{
    ManualClock clock;
    CFrameTimer timer;
    timer.SetFPS(50);   // 20 ms
    ManualClock::now += 12;   // the frame's work
    timer.WaitFrame();
    ASSERT_EQ(ManualClock::sleeps.size(), 1u);
    EXPECT_EQ(ManualClock::sleeps[0], 8) << "the wait is the rest of the 20 ms frame";
}

TEST(FrameTimer, late_frame_does_not_wait_and_long_stall_restarts_schedule)
{
    ManualClock clock;
    CFrameTimer timer;
    timer.SetFPS(50);   // 20 ms
    ManualClock::now += 25;   // 5 ms late
    timer.WaitFrame();
    EXPECT_TRUE(ManualClock::sleeps.empty()) << "a late frame must not sleep";
    timer.WaitFrame();
    ASSERT_EQ(ManualClock::sleeps.size(), 1u);
    EXPECT_EQ(ManualClock::sleeps[0], 15) << "a slightly late frame is caught up on the next deadline";

    ManualClock::sleeps.clear();
    ManualClock::now += 500;   // a long stall
    timer.WaitFrame();
    timer.WaitFrame();
    timer.WaitFrame();
    ASSERT_EQ(ManualClock::sleeps.size(), 2u)
        << "after a stall the schedule restarts: no burst of unpaced frames to catch up";
    EXPECT_EQ(ManualClock::sleeps[0], 20);
    EXPECT_EQ(ManualClock::sleeps[1], 20);
}

TEST(FrameTimer, paused_clock_still_paces)
{
    ManualClock clock;
    CFrameTimer timer;
    timer.SetFPS(50);
    timer.Pause();
    timer.WaitFrame();
    timer.WaitFrame();
    ASSERT_EQ(ManualClock::sleeps.size(), 2u) << "a paused frame timer must not spin";
    EXPECT_EQ(std::accumulate(ManualClock::sleeps.begin(), ManualClock::sleeps.end(), 0), 40);
    EXPECT_TRUE(timer.IsPaused()) << "waiting must not end a pause";
}

}  // namespace
