// SDL's allocator: blocks of a screen's size on 2 MB boundaries, the rest as
// the C library gives them, and every block good for free() and realloc().
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/sdl/SdlMemory.h"

namespace {

using namespace platform::sdl;

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
constexpr size_t kScreen = 800 * 600 * 4;

bool OnHugePageBoundary(const void* p) { return reinterpret_cast<uintptr_t>(p) % kHugePage == 0; }

TEST(SdlMemory, sdl_takes_the_allocator_from_the_c_library)
{
    EXPECT_TRUE(PutLargeBlocksOnHugePages());
    EXPECT_TRUE(PutLargeBlocksOnHugePages()) << "a second call finds it in place";
}

TEST(SdlMemory, a_screen_sized_block_starts_a_huge_page_and_survives_realloc)
{
    auto* block = static_cast<uint8_t*>(AllocateForSdl(kScreen));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(OnHugePageBoundary(block));
    std::memset(block, 0x5A, kScreen);
    block = static_cast<uint8_t*>(ReallocateForSdl(block, kScreen * 2));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], 0x5A);
    EXPECT_EQ(block[kScreen - 1], 0x5A);
    block[kScreen * 2 - 1] = 1;
    FreeForSdl(block);

    void* small = AllocateForSdl(100);
    ASSERT_NE(small, nullptr);
    std::memset(small, 1, 100);
    FreeForSdl(small);
}

TEST(SdlMemory, zeroed_blocks_are_zero_at_every_size_and_an_overflowing_count_is_refused)
{
    for (size_t bytes : {size_t{16}, kScreen}) {
        auto* block = static_cast<uint8_t*>(AllocateZeroedForSdl(bytes / 4, 4));
        ASSERT_NE(block, nullptr);
        size_t nonZero = 0;
        for (size_t i = 0; i < bytes; ++i)
            nonZero += block[i] != 0;
        EXPECT_EQ(nonZero, 0u) << bytes << " bytes";
        std::memset(block, 0xFF, bytes);
        FreeForSdl(block);
    }
    EXPECT_EQ(AllocateZeroedForSdl(SIZE_MAX / 2, 3), nullptr);
}

}  // namespace
