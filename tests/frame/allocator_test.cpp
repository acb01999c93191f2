// The global operator new / delete of the program.
#include "frame/Allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <set>
#include <vector>

#include "frame/SmallBlockPool.h"

namespace {

struct alignas(64) Wide {
    char bytes[64];
};

TEST(GlobalAllocator, serves_small_requests_from_the_pool_most_recent_first)
{
    if (!GlobalAllocatorUsesPool()) {
        GTEST_SKIP() << "sanitizer build: every request goes to the heap";
    }
    int* a = new int(1);
    int* b = new int(2);
    EXPECT_TRUE(GlobalPoolOwns(a) && GlobalPoolOwns(b)) << "a 4-byte object did not come from the pool";
    char* big = new char[17];
    EXPECT_FALSE(GlobalPoolOwns(big)) << "a 17-byte request came from the pool";
    delete[] big;
    delete a;
    delete b;
    int* c = new int(3);
    EXPECT_EQ(c, b) << "the most recently freed block must be reused first";
    delete c;
}

TEST(GlobalAllocator, every_form_pairs_with_every_delete)
{
    // Sized deletes must find the store by address, whatever size they pass.
    void* small = ::operator new(8);
    ::operator delete(small, 8);
    void* large = ::operator new[](4000);
    ::operator delete[](large, 4000);
    void* quietSmall = ::operator new(4, std::nothrow);
    ASSERT_NE(quietSmall, nullptr);
    ::operator delete(quietSmall, std::nothrow);
    Wide* wide = new Wide();
    EXPECT_EQ(reinterpret_cast<uintptr_t>(wide) % 64, 0u) << "an over-aligned object is misaligned";
    delete wide;
    Wide* wides = new Wide[3];
    EXPECT_EQ(reinterpret_cast<uintptr_t>(wides) % 64, 0u) << "an over-aligned array is misaligned";
    delete[] wides;
    int* quiet = new (std::nothrow) int(5);
    ASSERT_NE(quiet, nullptr);
    delete quiet;
}

// Every pointer a test allocates is stored here: a store into a volatile
// object is observable behaviour, so the optimiser may neither drop the
// new-expression nor assume its result.
char* volatile gSink = nullptr;

TEST(GlobalAllocator, reports_exhausted_memory_as_the_forms_promise)
{
    if (!GlobalAllocatorUsesPool()) {
        GTEST_SKIP() << "sanitizer build: the sanitizer's allocator aborts on impossible sizes";
    }
    volatile size_t impossible = SIZE_MAX / 4;  // volatile: not a compile-time size
    gSink = new (std::nothrow) char[impossible];
    EXPECT_EQ(gSink, nullptr) << "the nothrow form must return null";
    bool threw = false;
    try {
        gSink = new char[impossible];
    } catch (const std::bad_alloc&) {
        threw = true;
    }
    EXPECT_TRUE(threw) << "the plain form must throw std::bad_alloc";
    EXPECT_EQ(gSink, nullptr) << "a failed plain form must not have produced a pointer";
}

TEST(GlobalAllocator, exhausted_pool_falls_back_to_the_heap_and_recovers)
{
    if (!GlobalAllocatorUsesPool()) {
        GTEST_SKIP() << "sanitizer build: every request goes to the heap";
    }
    // Fill the pool (other objects may already hold some of its blocks) and
    // keep going: the requests past the last block must still succeed.
    std::vector<char*> blocks;
    blocks.reserve(CSmallBlockPool::kBlockCount + 16);
    size_t fromHeap = 0;
    for (size_t i = 0; i < CSmallBlockPool::kBlockCount + 16; ++i) {
        blocks.push_back(new char[8]);  // escapes into GlobalPoolOwns: cannot be dropped
        fromHeap += GlobalPoolOwns(blocks.back()) ? 0 : 1;
    }
    EXPECT_GE(fromHeap, 16u) << "more small objects were served from the pool than it has blocks";
    EXPECT_FALSE(GlobalPoolOwns(blocks.back())) << "a request on a full pool must come from the heap";
    std::set<char*> distinct(blocks.begin(), blocks.end());
    EXPECT_EQ(distinct.size(), blocks.size()) << "one block was handed out twice";
    char* lastPoolBlock = nullptr;
    for (char* p : blocks) {
        if (GlobalPoolOwns(p))
            lastPoolBlock = p;
    }
    ASSERT_NE(lastPoolBlock, nullptr) << "no small object came from the pool";
    for (char* p : blocks)
        delete[] p;  // heap blocks must go back to free(), pool blocks to the pool
    gSink = new char[8];
    EXPECT_TRUE(GlobalPoolOwns(gSink)) << "after the pool emptied, small objects must come from it again";
    EXPECT_EQ(gSink, lastPoolBlock) << "the most recently freed pool block must be reused first";
    delete[] gSink;
}

}  // namespace
