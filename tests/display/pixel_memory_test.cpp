#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "display/FastPlane.h"
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
