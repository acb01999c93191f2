#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "display/FastPlane.h"
#include "frame/AsanBuild.h"
#include "frame/PixelMemory.h"

namespace {

uintptr_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

TEST(PixelMemory, screens_lie_on_whole_huge_pages_and_small_pictures_on_cache_lines)
{
    // A full screen: 2 MB aligned, and the whole rounded block is ours to
    // write (the sanitizer build catches a block shorter than its pages).
    const size_t screen = size_t{800} * 600 * 4;
    PixelMemory big = AllocatePixelMemory(screen);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(Address(big.get()) % (size_t{2} << 20), 0u) << "a screen's pixels must start on a 2 MB page";
    std::memset(big.get(), 0x5A, size_t{2} << 20);
    EXPECT_EQ(big[(size_t{2} << 20) - 1], 0x5A);

    for (size_t bytes : {size_t{0}, size_t{1}, size_t{9 * 9 * 4}, (size_t{1} << 20) - 1}) {
        PixelMemory small = AllocatePixelMemory(bytes);
        ASSERT_NE(small, nullptr) << bytes << " bytes";
        EXPECT_EQ(Address(small.get()) % 64, 0u) << bytes << " bytes must start on a cache line";
    }
}

TEST(PixelMemory, a_freed_screen_is_handed_to_the_next_screen_not_to_the_system)
{
    if (LANTERN_ASAN) {
        GTEST_SKIP() << "the sanitizer build keeps no freed picture, so that it sees every use of one";
    }
    const size_t screen = size_t{800} * 600 * 4;
    PixelMemory first = AllocatePixelMemory(screen);
    ASSERT_NE(first, nullptr);
    const uint8_t* where = first.get();
    first.reset();
    PixelMemory second = AllocatePixelMemory(screen + 1000);
    EXPECT_EQ(second.get(), where) << "a screen of the same whole pages must reuse the freed block";
    PixelMemory third = AllocatePixelMemory(screen);
    EXPECT_NE(third.get(), where) << "a block handed out once is not handed out twice";
    EXPECT_NE(third, nullptr);
}

TEST(PixelMemory, impossible_sizes_give_null_not_a_wrapped_small_block)
{
    EXPECT_EQ(AllocatePixelMemory(SIZE_MAX), nullptr);
    EXPECT_EQ(AllocatePixelMemory(SIZE_MAX - (size_t{1} << 20)), nullptr);
}

TEST(PixelMemory, a_screen_sized_plane_draws_from_huge_page_memory)
{
    CFastPlane plane;
    ASSERT_EQ(plane.CreateSurface(800, 600, pixfmt::kBGRX32), 0);
    EXPECT_EQ(Address(plane.GetSurfaceView().pixels) % (size_t{2} << 20), 0u);
    uint32_t p = 0;
    std::memcpy(&p, plane.GetSurfaceView().pixels + 599 * plane.GetSurfaceView().pitch + 799 * 4, 4);
    EXPECT_EQ(p, 0u) << "a created plane starts black to its last pixel";
}

}  // namespace
