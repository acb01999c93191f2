#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "frame/CCriticalSection.h"

namespace {

TEST(CriticalSection, same_thread_may_enter_again)
{
    CCriticalSection section;
    section.Enter();
    section.Enter();   // would deadlock on a plain mutex
    section.Leave();
    section.Leave();
    std::thread other([&] {
        section.Enter();
        section.Leave();
    });
    other.join();   // would hang when a Leave had been lost
    SUCCEED();
}

TEST(CriticalSection, excludes_other_threads)
{
    CCriticalSection section;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                CCriticalSectionLock lock(section);
                CCriticalSectionLock again(section);
                counter = counter + 1;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 80000) << "increments under the section were lost: it does not exclude";
}

}  // namespace
