#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "display/FastDraw.h"
#include "display/FastPlane.h"
#include "frame/PixelMemory.h"

namespace {

uintptr_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

constexpr size_t kHugePage = size_t{2} << 20;

TEST(PixelMemory, blocks_start_on_cache_lines_and_huge_page_blocks_fill_whole_pages)
{
    for (size_t bytes : {size_t{0}, size_t{1}, size_t{9 * 9 * 4}, size_t{800} * 600 * 4}) {
        PixelMemory block = AllocatePixelMemory(bytes);
        ASSERT_NE(block, nullptr) << bytes << " bytes";
        EXPECT_EQ(Address(block.get()) % 64, 0u) << bytes << " bytes must start on a cache line";
    }
    // A screen on huge pages: 2 MB aligned, and the whole rounded block is
    // ours to write (the sanitizer build catches a block shorter than its pages).
    for (size_t bytes : {size_t{0}, size_t{800} * 600 * 4, kHugePage + 1}) {
        PixelMemory screen = AllocateHugePageMemory(bytes);
        ASSERT_NE(screen, nullptr) << bytes << " bytes";
        EXPECT_EQ(Address(screen.get()) % kHugePage, 0u) << bytes << " bytes must start on a 2 MB page";
        const size_t pages = bytes == 0 ? kHugePage : (bytes + kHugePage - 1) / kHugePage * kHugePage;
        std::memset(screen.get(), 0x5A, pages);
        EXPECT_EQ(screen[pages - 1], 0x5A);
    }
}

TEST(PixelMemory, a_size_that_whole_pages_cannot_hold_gives_null_not_a_wrapped_small_block)
{
    // Rounded up to whole pages these sizes wrap round to a few bytes; they
    // never reach the allocator (which the sanitizer build would stop).
    EXPECT_EQ(AllocateHugePageMemory(SIZE_MAX), nullptr);
    EXPECT_EQ(AllocateHugePageMemory(SIZE_MAX - kHugePage + 2), nullptr);
}

TEST(PixelMemory, the_back_buffer_lies_on_huge_pages_and_starts_black)
{
    CFastDraw draw;
    ASSERT_EQ(draw.SetDisplayMode(800, 600, 32), 0);
    const SurfaceView view = draw.GetBackPlane()->GetSurfaceView();
    EXPECT_EQ(Address(view.pixels) % kHugePage, 0u) << "the screen's pixels must start on a 2 MB page";
    uint32_t last = 1;
    std::memcpy(&last, view.pixels + 599 * view.pitch + 799 * 4, 4);
    EXPECT_EQ(last, 0u) << "a new back buffer is black to its last pixel";

    CFastPlane picture;
    ASSERT_EQ(picture.CreateSurface(800, 600, pixfmt::kBGRX32), 0);
    EXPECT_EQ(Address(picture.GetSurfaceView().pixels) % 64, 0u);
}

}  // namespace
