#include <gtest/gtest.h>

#include <atomic>

#include "frame/CThread.h"

namespace {

// Records what its body saw; the body's shape is chosen per test.
class ProbeThread : public CThread {
public:
    enum class Body { WaitLong, LoopUntilStopped, Return };
    explicit ProbeThread(Body body) : body_(body) {}
    ~ProbeThread() override { Join(); }

    void ThreadMain() override
    {
        sawRunning = IsRunning();
        sawEvent = HasStopEvent();
        switch (body_) {
        case Body::WaitLong:
            // 20 s: a lost stop would show as a time-out result, not a hang.
            waitResult = Wait(20000);
            secondWait = Wait(0);
            break;
        case Body::LoopUntilStopped:
            while (IsRunning()) {
                Wait(5);
                ++turns;
            }
            break;
        case Body::Return:
            break;
        }
        finished = true;
    }

    std::atomic<bool> sawRunning{false};
    std::atomic<bool> sawEvent{false};
    std::atomic<int> waitResult{-99};
    std::atomic<int> secondWait{-99};
    std::atomic<int> turns{0};
    std::atomic<bool> finished{false};

private:
    Body body_;
};

TEST(Thread, start_runs_body_with_running_flag_and_stop_event)
{
    ProbeThread thread(ProbeThread::Body::LoopUntilStopped);
    EXPECT_FALSE(thread.Start()) << "Start returns false on success";
    EXPECT_TRUE(thread.IsRunning());
    while (thread.turns == 0) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(thread.Join()) << "Join of a started thread returns true";
    EXPECT_TRUE(thread.finished);
    EXPECT_TRUE(thread.sawRunning) << "the running flag must be set when the body starts";
    EXPECT_TRUE(thread.sawEvent) << "the stop event must exist while the body runs";
}

TEST(Thread, stop_signalled_right_after_start_is_not_lost)
{
    ProbeThread thread(ProbeThread::Body::WaitLong);
    ASSERT_FALSE(thread.Start());
    thread.SignalStop();
    thread.Join();
    EXPECT_EQ(thread.waitResult, 1) << "the stop came before the body waited; it must still see it";
    EXPECT_EQ(thread.secondWait, 0) << "the stop event resets itself after a wait sees it";
}

TEST(Thread, stop_event_lives_from_start_to_end_of_body)
{
    ProbeThread thread(ProbeThread::Body::Return);
    EXPECT_FALSE(thread.HasStopEvent()) << "no stop event before the start";
    EXPECT_EQ(thread.Wait(0), -1) << "waiting without a stop event gives -1";
    ASSERT_FALSE(thread.Start());
    thread.Join();
    EXPECT_FALSE(thread.HasStopEvent()) << "the stop event is closed when the body returns";
    EXPECT_FALSE(thread.Join()) << "a second Join has no thread and returns false";
}

TEST(Thread, wait_times_out_without_a_stop)
{
    ProbeThread thread(ProbeThread::Body::LoopUntilStopped);
    ASSERT_FALSE(thread.Start());
    while (thread.turns < 3) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(thread.finished) << "the loop must keep running while no stop is signalled";
    EXPECT_TRUE(thread.Join());
    EXPECT_TRUE(thread.finished) << "Join must signal the stop and wait for the body";
    EXPECT_FALSE(thread.IsRunning()) << "after Join the running flag is clear";
}

TEST(Thread, start_again_joins_the_previous_run)
{
    ProbeThread thread(ProbeThread::Body::LoopUntilStopped);
    ASSERT_FALSE(thread.Start());
    ASSERT_FALSE(thread.Start()) << "a second Start must end the first run and start again";
    EXPECT_TRUE(thread.IsRunning());
    thread.Join();
}

TEST(Thread, run_inline_uses_the_calling_thread)
{
    ProbeThread thread(ProbeThread::Body::Return);
    thread.RunInline();
    EXPECT_TRUE(thread.finished) << "RunInline returns after the body";
    EXPECT_TRUE(thread.sawRunning);
    EXPECT_TRUE(thread.sawEvent) << "an inline run gets a stop event too";
    EXPECT_FALSE(thread.HasStopEvent());
    EXPECT_FALSE(thread.Join()) << "there is no thread to join after an inline run";
}

}  // namespace
