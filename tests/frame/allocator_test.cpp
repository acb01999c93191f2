// The global operator new / delete of the program.
#include "frame/Allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>

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

TEST(GlobalAllocator, reports_exhausted_memory_as_the_forms_promise)
{
    if (!GlobalAllocatorUsesPool()) {
        GTEST_SKIP() << "sanitizer build: the sanitizer's allocator aborts on impossible sizes";
    }
    volatile size_t impossible = SIZE_MAX / 4;  // volatile: not a compile-time size
    EXPECT_EQ(new (std::nothrow) char[impossible], nullptr) << "the nothrow form must return null";
    EXPECT_THROW((void)new char[impossible], std::bad_alloc) << "the plain form must throw";
}

}  // namespace
