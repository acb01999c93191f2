#include <gtest/gtest.h>

#include "support/ManualClock.h"
#include "frame/CTimer.h"

namespace {

TEST(Timer, elapsed_counts_from_reset)
{
    ManualClock clock;
    CTimer timer;
    EXPECT_EQ(timer.GetElapsed(), 0) << "a new timer starts at 0";
    ManualClock::now += 250;
    EXPECT_EQ(timer.GetElapsed(), 250);
    timer.Reset();
    ManualClock::now += 7;
    EXPECT_EQ(timer.GetElapsed(), 7) << "Reset must restart the count";
}

TEST(Timer, pauses_nest_and_resume_runs_on_from_the_frozen_value)
{
    ManualClock clock;
    CTimer timer;
    ManualClock::now += 100;
    timer.Pause();
    ManualClock::now += 50;
    timer.Pause();   // nested: the pause time stays that of the first call
    ManualClock::now += 50;
    EXPECT_EQ(timer.GetElapsed(), 100) << "a paused timer must freeze at its first pause";
    timer.Resume();
    ManualClock::now += 30;
    EXPECT_EQ(timer.GetElapsed(), 100) << "one Resume of two nested pauses must keep it frozen";
    EXPECT_TRUE(timer.IsPaused());
    timer.Resume();
    ManualClock::now += 20;
    EXPECT_EQ(timer.GetElapsed(), 120) << "after the last Resume the timer runs on from the frozen value";
    timer.Resume();   // unbalanced: ignored
    EXPECT_EQ(timer.GetElapsed(), 120) << "an extra Resume must change nothing";
}

TEST(Timer, reset_ends_every_pause)
{
    ManualClock clock;
    CTimer timer;
    timer.Pause();
    timer.Pause();
    ManualClock::now += 40;
    timer.Reset();
    EXPECT_FALSE(timer.IsPaused()) << "Reset must end nested pauses";
    ManualClock::now += 15;
    EXPECT_EQ(timer.GetElapsed(), 15);
}

TEST(Timer, elapsed_is_right_across_the_clock_wrap)
{
    ManualClock clock;
    ManualClock::now = 0xFFFFFFF0u;
    CTimer timer;
    ManualClock::now += 0x20;   // wraps to 0x10
    EXPECT_EQ(timer.GetElapsed(), 0x20) << "the millisecond clock wraps; differences must not";
}

TEST(Timer, set_holds_every_live_timer_and_pauses_them_together)
{
    ManualClock clock;
    const int before = CTimer::GetTimerCount();
    {
        CTimer a;
        CTimer b;
        EXPECT_EQ(CTimer::GetTimerCount(), before + 2) << "construction must register the timer";
        a.Pause();   // a is paused on its own before the global pause
        ManualClock::now += 10;
        CTimer::PauseAll();
        ManualClock::now += 10;
        EXPECT_EQ(a.GetElapsed(), 0);
        EXPECT_EQ(b.GetElapsed(), 10) << "PauseAll must freeze every timer";
        CTimer::ResumeAll();
        ManualClock::now += 5;
        EXPECT_EQ(b.GetElapsed(), 15);
        EXPECT_EQ(a.GetElapsed(), 0) << "ResumeAll must not undo a timer's own pause";
    }
    EXPECT_EQ(CTimer::GetTimerCount(), before) << "destruction must remove the timer from the set";
}

}  // namespace
