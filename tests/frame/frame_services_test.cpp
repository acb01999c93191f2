// The error log, the debug-output channel and the COM counts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <thread>

#include "frame/Assert.h"
#include "frame/ComInitialize.h"
#include "frame/Holder.h"
#include "frame/DebugOutput.h"
#include "frame/ErrorLog.h"

namespace {

TEST(ErrorLog, formats_one_line_to_stderr_under_the_debug_switch)
{
    unsetenv("LANTERN_DEBUG");
    testing::internal::CaptureStderr();
    EXPECT_EQ(gErrorLog.Print("CSound::Load %s %d", "x", 3), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the log is silent without LANTERN_DEBUG";
    setenv("LANTERN_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(gErrorLog.Print("CSound::Load %s %d", "x", 3), 0);
    EXPECT_EQ(gErrorLog.PrintString("CFile::Load \x95\x5C"), 0);
    EXPECT_EQ(gErrorLog.PrintString("ends in a newline\n"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "CSound::Load x 3\nCFile::Load \xE8\xA1\xA8\nends in a newline\n")
        << "each message one UTF-8 line, formatted";
    unsetenv("LANTERN_DEBUG");
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

#if !defined(NDEBUG) || defined(LANTERN_ASSERTIONS)
TEST(AssertDeathTest, a_broken_promise_stops_the_program_saying_where_and_why)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(LANTERN_ASSERT(1 + 1 == 3, "arithmetic holds"), "assertion failed: arithmetic holds \\(1 \\+ 1 == 3\\)");
    Holder<int> empty;
    EXPECT_DEATH((void)*empty, "an empty holder dereferenced");
    int evaluated = 0;
    LANTERN_ASSERT(++evaluated == 1, "a kept promise goes on");
    EXPECT_EQ(evaluated, 1);
}
#else
TEST(Assert, compiles_to_nothing_in_a_release_build)
{
    int evaluated = 0;
    LANTERN_ASSERT(++evaluated == 5, "never evaluated");
    EXPECT_EQ(evaluated, 0) << "a release build must not evaluate the condition";
}
#endif

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
