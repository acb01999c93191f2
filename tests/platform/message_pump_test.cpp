#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/EventInjection.h"
#include "support/EndRequests.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"

namespace {

struct Seen {
    uint32_t message;
    platform::WParam wParam;
    platform::LParam lParam;
    bool operator==(const Seen&) const = default;
};

class MessagePump : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::MainWindowDesc desc;
        desc.caption = "ウィンドウ";
        window_ = platform::CreateMainWindow(desc, [this](platform::WindowHandle window, uint32_t message,
                                                          platform::WParam wParam, platform::LParam lParam) {
            EXPECT_EQ(window, window_) << "messages must name the main window";
            seen_.push_back({message, wParam, lParam});
            return static_cast<intptr_t>(message);
        });
        ASSERT_NE(window_, nullptr);
        platform::PumpMessages();
        seen_.clear();
    }
    void TearDown() override { platform::DestroyMainWindow(); }

    platform::WindowHandle window_ = nullptr;
    std::vector<Seen> seen_;
};

TEST_F(MessagePump, window_has_the_asked_client_size)
{
    EXPECT_EQ(platform::ClientWidth(), 800);
    EXPECT_EQ(platform::ClientHeight(), 600);
    EXPECT_TRUE(platform::IsMainWindowActive()) << "a new window starts active";
    EXPECT_EQ(platform::CreateMainWindow({}, {}), nullptr) << "there is only one main window";
}

TEST_F(MessagePump, posted_messages_arrive_in_order_with_their_parameters)
{
    platform::PostMessage(window_, platform::kWmCommand, 40002, 0);
    platform::PostMessage(window_, platform::kWmUser + 1, 0xFFFFFFFFu, -5);
    platform::PostMessage(window_, platform::kWmMciNotify, platform::kMciNotifySuccessful, 3);
    EXPECT_TRUE(seen_.empty()) << "posting must not call the window procedure";
    EXPECT_EQ(platform::PumpMessages(), 3);
    const std::vector<Seen> expected = {{platform::kWmCommand, 40002, 0},
                                        {platform::kWmUser + 1, 0xFFFFFFFFu, -5},
                                        {platform::kWmMciNotify, platform::kMciNotifySuccessful, 3}};
    EXPECT_EQ(seen_, expected);
}

TEST_F(MessagePump, messages_posted_from_another_thread_arrive)
{
    std::thread poster([this] { platform::PostMessage(window_, platform::kWmUser, 1, 2); });
    poster.join();
    platform::PumpMessages();
    EXPECT_EQ(seen_, (std::vector<Seen>{{platform::kWmUser, 1, 2}}));
}

TEST_F(MessagePump, send_calls_the_procedure_at_once)
{
    EXPECT_EQ(platform::SendMessage(window_, platform::kWmDestroy, 0, 0), platform::kWmDestroy)
        << "SendMessage must return the procedure's result";
    EXPECT_EQ(seen_, (std::vector<Seen>{{platform::kWmDestroy, 0, 0}}));
}

TEST_F(MessagePump, window_close_and_keys_become_messages)
{
    platform::testing::PushKey(platform::Key::Escape, true);
    platform::testing::PushKey(platform::Key::Escape, false);
    platform::testing::PushWindowClose();
    platform::PumpMessages();
    const std::vector<Seen> expected = {{platform::kWmKeyDown, static_cast<platform::WParam>(platform::Key::Escape), 0},
                                        {platform::kWmKeyUp, static_cast<platform::WParam>(platform::Key::Escape), 0},
                                        {platform::kWmClose, 0, 0}};
    EXPECT_EQ(seen_, expected);
}

TEST_F(MessagePump, wait_returns_on_time_out_and_on_a_message)
{
    EXPECT_EQ(platform::WaitMessages(1), 0) << "nothing was queued";
    std::thread poster([this] { platform::PostMessage(window_, platform::kWmUser, 0, 0); });
    int got = 0;
    for (int tries = 0; tries < 500 && got == 0; ++tries) {
        got = platform::WaitMessages(10);
    }
    poster.join();
    EXPECT_EQ(got, 1) << "the waiting pump must wake for a posted message";
}

// Asks StopPending until it answers true, for at most about two seconds: it
// looks at the system's events only every few milliseconds.
bool StopHeard()
{
    for (int tries = 0; tries < 400; ++tries) {
        if (platform::StopPending())
            return true;
        usleep(5000);
    }
    return false;
}

TEST_F(MessagePump, stop_pending_sees_a_signal_or_a_close_before_the_pump_takes_it)
{
    const auto stops = test_support::EndRequests();
    for (const auto& [what, stop] : stops) {
        platform::testing::PushKey(platform::Key::Escape, true);
        usleep(20000);
        EXPECT_FALSE(platform::StopPending()) << what << ": other input is no stop";
        stop();
        EXPECT_TRUE(StopHeard()) << what << ": a stop waiting in the queue must be seen without the pump";
        EXPECT_TRUE(platform::StopPending()) << what << ": and stays seen until the game's loop takes it";
        seen_.clear();
        platform::PumpMessages();
        EXPECT_NE(std::find(seen_.begin(), seen_.end(), Seen{platform::kWmClose, 0, 0}), seen_.end())
            << what << ": looking must leave the stop in the queue for the game's loop";
        platform::testing::ClearEndRequest();
        usleep(20000);
        EXPECT_FALSE(platform::StopPending()) << what << ": once taken, the stop is no longer pending";
    }
    platform::RequestEnd();
    EXPECT_TRUE(platform::StopPending()) << "an end already requested is a stop";
    platform::testing::ClearEndRequest();
}

TEST(MessagePointParam, packs_signed_coordinates)
{
    const auto p = platform::MakePointParam(-3, 599);
    EXPECT_EQ(platform::PointParamX(p), -3);
    EXPECT_EQ(platform::PointParamY(p), 599);
    EXPECT_EQ(platform::LowWord(0x12345678u), 0x5678u);
}

}  // namespace
