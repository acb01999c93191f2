#pragma once
// A main window on SDL's dummy video driver, with a window procedure that
// records the messages, for tests that drive input through real SDL events.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/Input.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"

class MainWindowFixture : public ::testing::Test {
protected:
    struct Message {
        uint32_t message;
        platform::WParam wParam;
        platform::LParam lParam;
    };

    void SetUp() override
    {
        platform::MainWindowDesc desc;
        desc.caption = "test";
        window_ = platform::CreateMainWindow(desc, [this](platform::WindowHandle, uint32_t message,
                                                          platform::WParam wParam, platform::LParam lParam) {
            messages_.push_back({message, wParam, lParam});
            return intptr_t{0};
        });
        ASSERT_NE(window_, nullptr) << "the dummy video driver could not make the main window";
        platform::PumpMessages();
        platform::ResetInputState();
        messages_.clear();
    }

    void TearDown() override { platform::DestroyMainWindow(); }

    platform::WindowHandle window_ = nullptr;
    std::vector<Message> messages_;
};
