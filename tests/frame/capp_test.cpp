#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "frame/CApp.h"
#include "frame/CAppManager.h"
#include "frame/CMainObject.h"
#include "frame/CMessageListener.h"
#include "platform/EventInjection.h"
#include "platform/MessagePump.h"
#include "platform/Time.h"
#include "platform/WindowMessages.h"

namespace {

using platform::kWmUser;

// An application whose main routine is the test's body.
class TestApp : public CApp {
public:
    explicit TestApp(std::function<void(TestApp&)> body) : body_(std::move(body)) {}
    int Main() override
    {
        body_(*this);
        return 0;
    }

private:
    std::function<void(TestApp&)> body_;
};

// Records the messages it sees in a shared log under its name.
class LogListener : public CMessageListener {
public:
    LogListener(std::string name, std::vector<std::string>* log, int consumeMessage = -1)
        : name_(std::move(name)), log_(log), consume_(consumeMessage)
    {
    }
    int OnWindowMessage(platform::WindowHandle, uint32_t message, platform::WParam wParam,
                        platform::LParam) override
    {
        if (message >= kWmUser || message == platform::kWmClose || message == platform::kWmDestroy ||
            message == platform::kWmActivate || message == platform::kWmActivateApp) {
            log_->push_back(name_ + ":" + std::to_string(message) + ":" + std::to_string(wParam));
        }
        if (onMessage) {
            onMessage(message);
        }
        return static_cast<int>(message) == consume_ ? 1 : 0;
    }
    std::function<void(uint32_t)> onMessage;

private:
    std::string name_;
    std::vector<std::string>* log_;
    int consume_;
};

std::string Entry(const char* name, uint32_t message, unsigned wParam = 0)
{
    return std::string(name) + ":" + std::to_string(message) + ":" + std::to_string(wParam);
}

TEST(App, listeners_see_messages_in_order_until_one_consumes)
{
    std::vector<std::string> log;
    TestApp app([&](TestApp& self) {
        EXPECT_EQ(CAppManager::GetApp(), &self) << "the application must be registered for its thread";
        ASSERT_NE(GetAppWindow(), nullptr) << "the first application must own the main window";
        LogListener first("first", &log);
        LogListener second("second", &log, kWmUser + 1);
        LogListener third("third", &log);
        AddWindowListener(&first);
        AddWindowListener(&second);
        AddWindowListener(&third);
        platform::PostMessage(GetAppWindow(), kWmUser, 10, 0);
        platform::PostMessage(GetAppWindow(), kWmUser + 1, 11, 0);
        platform::PostMessage(GetAppWindow(), kWmUser + 2, 12, 0);
        EXPECT_TRUE(self.PumpMessages()) << "no stop was signalled";
        RemoveWindowListener(&first);
        RemoveWindowListener(&second);
        RemoveWindowListener(&third);
        platform::PostMessage(GetAppWindow(), kWmUser + 3, 0, 0);
        self.PumpMessages();
    });
    app.Run();
    const std::vector<std::string> expected = {
        Entry("first", kWmUser, 10),      Entry("second", kWmUser, 10),     Entry("third", kWmUser, 10),
        Entry("first", kWmUser + 1, 11),  Entry("second", kWmUser + 1, 11),  // consumed by second
        Entry("first", kWmUser + 2, 12),  Entry("second", kWmUser + 2, 12), Entry("third", kWmUser + 2, 12),
    };
    EXPECT_EQ(log, expected) << "listeners must be offered each message in the order added, "
                                "stop at the first that consumes it, and be gone once removed";
    EXPECT_EQ(CAppManager::GetApp(), nullptr) << "the application must unregister when it ends";
    EXPECT_EQ(platform::GetMainWindow(), nullptr) << "the main window must be destroyed when the application ends";
}

TEST(App, listener_removed_during_dispatch_is_not_called)
{
    std::vector<std::string> log;
    TestApp app([&](TestApp& self) {
        LogListener first("first", &log);
        LogListener second("second", &log);
        first.onMessage = [&](uint32_t message) {
            if (message == kWmUser) {
                RemoveWindowListener(&second);
            }
        };
        AddWindowListener(&first);
        AddWindowListener(&second);
        platform::PostMessage(GetAppWindow(), kWmUser, 0, 0);
        self.PumpMessages();
        RemoveWindowListener(&first);
    });
    app.Run();
    EXPECT_EQ(log, std::vector<std::string>{Entry("first", kWmUser)})
        << "a listener removed by an earlier one must not be called for the same message";
}

TEST(App, close_stops_the_application_and_destroy_follows)
{
    std::vector<std::string> log;
    LogListener watcher("w", &log);
    bool pumpResult = true;
    int frames = 0;
    TestApp app([&](TestApp& self) {
        AddWindowListener(&watcher);
        ASSERT_TRUE(platform::testing::PushWindowClose());
        while ((pumpResult = self.PumpMessages()) && frames < 1000) {
            ++frames;
        }
        // The destroy message comes after Main; the listener stays for it.
    });
    app.Run();
    EXPECT_FALSE(pumpResult) << "PumpMessages must return false once the window was closed";
    EXPECT_EQ(frames, 0) << "the close must end the loop at the first pump";
    EXPECT_EQ(log, (std::vector<std::string>{Entry("w", platform::kWmClose), Entry("w", platform::kWmDestroy)}))
        << "the window must see its close, then its destroy message as the application ends";
    int code = -1;
    EXPECT_TRUE(platform::QuitRequested(&code)) << "the first application posts the quit message on destroy";
    EXPECT_EQ(code, 0);
}

TEST(App, consumed_close_does_not_stop)
{
    std::vector<std::string> log;
    LogListener keeper("k", &log, static_cast<int>(platform::kWmClose));
    bool running = false;
    TestApp app([&](TestApp& self) {
        AddWindowListener(&keeper);
        platform::testing::PushWindowClose();
        running = self.PumpMessages();
        RemoveWindowListener(&keeper);
    });
    app.Run();
    EXPECT_TRUE(running) << "a listener that consumes the close keeps the application running";
}

TEST(App, pause_while_inactive_blocks_until_activated)
{
    std::vector<std::string> log;
    LogListener watcher("w", &log);
    TestApp app([&](TestApp& self) {
        AddWindowListener(&watcher);
        self.SetPauseWhileInactive(true);
        platform::testing::PushFocus(false);
        // Another thread gives the focus back a little later; the pump must
        // wait for it instead of returning while the window is inactive.
        std::thread activator([] {
            platform::SleepMs(150);
            platform::testing::PushFocus(true);
        });
        const bool running = self.PumpMessages();
        activator.join();
        EXPECT_TRUE(running);
        EXPECT_TRUE(platform::IsMainWindowActive()) << "the pump returned while the window was still inactive";
        RemoveWindowListener(&watcher);
    });
    app.Run();
    const std::vector<std::string> expected = {
        Entry("w", platform::kWmActivateApp, 0), Entry("w", platform::kWmActivate, platform::kWaInactive),
        Entry("w", platform::kWmActivateApp, 1), Entry("w", platform::kWmActivate, platform::kWaActive)};
    EXPECT_EQ(log, expected) << "activation changes must reach the listeners as activate messages";
}

TEST(App, inactive_window_does_not_block_without_the_switch)
{
    TestApp app([&](TestApp& self) {
        platform::testing::PushFocus(false);
        EXPECT_TRUE(self.PumpMessages()) << "without the switch an inactive window must not block the pump";
        EXPECT_FALSE(platform::IsMainWindowActive());
    });
    app.Run();
}

class GameObject : public CMainObject {
public:
    void Run() override {}
};

TEST(App, main_object_registers_with_its_application)
{
    TestApp app([&](TestApp&) {
        {
            GameObject game;
            EXPECT_EQ(CAppManager::GetMainObject(), &game) << "the main object registers on construction";
        }
        EXPECT_EQ(CAppManager::GetMainObject(), nullptr) << "the main object leaves on destruction";
    });
    app.Run();
}

TEST(App, second_application_runs_on_its_own_thread)
{
    std::thread::id outerThread;
    std::thread::id innerThread;
    CApp* innerSeen = nullptr;
    TestApp inner([&](TestApp& self) {
        innerThread = std::this_thread::get_id();
        innerSeen = CAppManager::GetApp();
        EXPECT_EQ(GetAppWindow(), nullptr) << "only the first application owns the window";
        while (self.PumpMessages()) {
            self.Wait(10);
        }
    });
    TestApp outer([&](TestApp&) {
        outerThread = std::this_thread::get_id();
        EXPECT_EQ(inner.Run(), 0) << "the second application's thread must start";
    });
    outer.Run();   // its end stops and joins the inner application
    EXPECT_EQ(outerThread, std::this_thread::get_id()) << "the first application runs on the calling thread";
    EXPECT_NE(innerThread, outerThread) << "a second application runs on its own thread";
    EXPECT_EQ(innerSeen, &inner) << "each thread finds its own application";
    EXPECT_FALSE(inner.IsRunning()) << "the first application must stop the others when it ends";
}

TEST(App, listener_calls_without_an_application_do_nothing)
{
    std::vector<std::string> log;
    LogListener lonely("l", &log);
    AddWindowListener(&lonely);
    RemoveWindowListener(&lonely);
    EXPECT_EQ(GetAppWindow(), nullptr) << "a thread without an application has no window";
}

// Needs a real display: run under xvfb-run. Opens the 800 x 600 window on the
// real video driver, pumps, answers a close and ends cleanly.
TEST(AppOnDisplay, opens_window_pumps_and_closes_cleanly)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        GTEST_SKIP() << "no DISPLAY: this test runs under xvfb-run";
    }
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const std::string savedDriver = driver ? driver : "";
    setenv("SDL_VIDEODRIVER", "x11", 1);
    std::vector<std::string> log;
    LogListener watcher("w", &log);
    int frames = 0;
    int width = 0;
    int height = 0;
    TestApp app([&](TestApp& self) {
        width = platform::ClientWidth();
        height = platform::ClientHeight();
        AddWindowListener(&watcher);
        while (self.PumpMessages() && frames < 2000) {
            if (++frames == 10) {
                platform::testing::PushWindowClose();
            }
            platform::SleepMs(1);
        }
    });
    app.Run();
    if (savedDriver.empty()) {
        unsetenv("SDL_VIDEODRIVER");
    } else {
        setenv("SDL_VIDEODRIVER", savedDriver.c_str(), 1);
    }
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600) << "the client area must be 800 x 600";
    EXPECT_GE(frames, 10) << "the loop must pump frames until the close";
    EXPECT_LT(frames, 2000) << "the close was not answered";
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], Entry("w", platform::kWmClose));
    EXPECT_EQ(log.back(), Entry("w", platform::kWmDestroy)) << "the window must be destroyed last";
    EXPECT_EQ(platform::GetMainWindow(), nullptr);
}

}  // namespace
