#include "frame/SmallBlockPool.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "frame/AsanBuild.h"

namespace {

TEST(SmallBlockPool, hands_out_the_most_recently_freed_block_first)
{
    auto pool = std::make_unique<CSmallBlockPool>();
    void* a = pool->Allocate(16);
    void* b = pool->Allocate(8);
    void* c = pool->Allocate(1);
    ASSERT_TRUE(a && b && c) << "a fresh pool refused small blocks";
    EXPECT_EQ(static_cast<char*>(b) - static_cast<char*>(a), 16) << "blocks must be 16 bytes apart";
    EXPECT_TRUE(pool->Free(a));
    EXPECT_TRUE(pool->Free(c));
    EXPECT_EQ(pool->Allocate(4), c) << "the last freed block must come back first";
    EXPECT_EQ(pool->Allocate(4), a) << "then the one freed before it";
    EXPECT_EQ(pool->UsedCount(), 3u);
}

TEST(SmallBlockPool, refuses_large_requests)
{
    auto pool = std::make_unique<CSmallBlockPool>();
    EXPECT_EQ(pool->Allocate(17), nullptr) << "a request over 16 bytes must go to the heap";
    EXPECT_NE(pool->Allocate(0), nullptr) << "a zero-byte request still needs a distinct block";
}

TEST(SmallBlockPool, is_exhausted_after_4096_blocks_and_recovers)
{
    auto pool = std::make_unique<CSmallBlockPool>();
    std::set<void*> blocks;
    for (size_t i = 0; i < CSmallBlockPool::kBlockCount; ++i) {
        void* p = pool->Allocate(16);
        ASSERT_NE(p, nullptr) << "block " << i << " refused before the pool was full";
        ASSERT_TRUE(pool->Owns(p));
        blocks.insert(p);
    }
    EXPECT_EQ(blocks.size(), CSmallBlockPool::kBlockCount) << "a block was handed out twice";
    EXPECT_EQ(pool->Allocate(1), nullptr) << "a full pool must refuse (the caller falls back to the heap)";
    void* any = *blocks.begin();
    ASSERT_TRUE(pool->Free(any));
    EXPECT_EQ(pool->Allocate(1), any) << "a freed block must be usable again after exhaustion";
}

TEST(SmallBlockPool, frees_only_its_own_blocks_in_use)
{
    auto pool = std::make_unique<CSmallBlockPool>();
    int onStack = 0;
    EXPECT_FALSE(pool->Owns(&onStack)) << "claimed a foreign pointer";
    EXPECT_FALSE(pool->Free(&onStack)) << "took back a foreign pointer";
    char* a = static_cast<char*>(pool->Allocate(16));
    EXPECT_FALSE(pool->Free(a + 1)) << "took back a pointer into the middle of a block";
    ASSERT_TRUE(pool->Free(a));
    EXPECT_FALSE(pool->Free(a)) << "a double free was accepted";
    void* x = pool->Allocate(16);
    void* y = pool->Allocate(16);
    EXPECT_NE(x, y) << "a double free put one block twice on the free list";
}

TEST(SmallBlockPoolDeathTest, free_blocks_and_bytes_past_a_request_are_poisoned_under_asan)
{
    if (!LANTERN_ASAN) {
        GTEST_SKIP() << "only AddressSanitizer builds poison the pool";
    }
    auto pool = std::make_unique<CSmallBlockPool>();
    auto* freed = static_cast<volatile char*>(pool->Allocate(8));
    pool->Free(const_cast<char*>(freed));
    EXPECT_DEATH(freed[0] = 1, "use-after-poison") << "a write into a free pool block went unnoticed";
    auto* small = static_cast<volatile char*>(pool->Allocate(5));
    small[4] = 1;
    EXPECT_DEATH(small[5] = 1, "use-after-poison") << "a write past a 5-byte request went unnoticed";
}

}  // namespace
