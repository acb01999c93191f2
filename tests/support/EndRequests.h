#pragma once
// The three ways a person or the system asks the program to end: SIGTERM,
// SIGINT (Ctrl+C) and the window's close button, each with its name for
// failure messages.
#include <signal.h>

#include <functional>
#include <utility>
#include <vector>

#include "platform/EventInjection.h"

namespace test_support {

inline std::vector<std::pair<const char*, std::function<void()>>> EndRequests()
{
    return {
        {"SIGTERM", [] { raise(SIGTERM); }},
        {"SIGINT", [] { raise(SIGINT); }},
        {"window close", [] { platform::testing::PushWindowClose(); }},
    };
}

}  // namespace test_support
