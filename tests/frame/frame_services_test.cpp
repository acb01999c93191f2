// The error log, the debug-output channel and the COM counts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <thread>

#include "frame/ComInitialize.h"
#include "frame/DebugOutput.h"
#include "frame/ErrorLog.h"

namespace {

TEST(ErrorLog, keeps_nothing_and_returns_zero)
{
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(gErrorLog.Print("CSound::Load %s %d", "x", 3), 0);
    EXPECT_EQ(gErrorLog.PrintString("CFile::Load"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the error log must show nothing";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the error log must show nothing";
}

TEST(DebugOutput, writes_to_stderr_only_when_asked)
{
    unsetenv("LANTERN_DEBUG");
    testing::internal::CaptureStderr();
    DebugOutput("Failed! - quiet\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "debug output without LANTERN_DEBUG";
    setenv("LANTERN_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    DebugOutput("Failed! - \x95\x5C\n");  // Shift-JIS in, UTF-8 out
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed! - \xE8\xA1\xA8\n") << "debug text not written as UTF-8";
    unsetenv("LANTERN_DEBUG");
}

TEST(ComInitialize, counts_per_thread)
{
    EXPECT_EQ(ComInitializeThread(), 0);
    EXPECT_EQ(ComInitializeThread(), 0);
    EXPECT_EQ(ComThreadCount(), 2) << "nested calls must count";
    int other = -1;
    std::thread([&] {
        ComInitializeThread();
        other = ComThreadCount();
        ComUninitializeThread();
    }).join();
    EXPECT_EQ(other, 1) << "another thread must have its own count";
    ComUninitializeThread();
    ComUninitializeThread();
    EXPECT_EQ(ComThreadCount(), 0);
    ComUninitializeThread();  // unmatched: nothing happens
    EXPECT_EQ(ComThreadCount(), 0) << "an unmatched uninitialise must not go negative";
}

}  // namespace
