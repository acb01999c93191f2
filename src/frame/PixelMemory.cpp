#include "frame/PixelMemory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

uint8_t* Aligned(size_t alignment, size_t bytes)
{
    void* p = nullptr;
    return posix_memalign(&p, alignment, bytes == 0 ? 1 : bytes) == 0 ? static_cast<uint8_t*>(p) : nullptr;
}

}  // namespace

void PixelMemoryFree::operator()(uint8_t* p) const noexcept
{
    std::free(p);
}

PixelMemory AllocatePixelMemory(size_t bytes)
{
    return PixelMemory(Aligned(64, bytes));
}

PixelMemory AllocateHugePageMemory(size_t bytes)
{
    if (bytes > SIZE_MAX - (kHugePage - 1)) {
        return nullptr;
    }
    // Whole pages, so that no other allocation shares the last one.
    const size_t size = bytes == 0 ? kHugePage : (bytes + kHugePage - 1) / kHugePage * kHugePage;
    uint8_t* p = Aligned(kHugePage, size);
    if (p != nullptr) {
        // Only a hint: where the system has no huge pages to give, the
        // memory stays on ordinary pages and works the same.
        madvise(p, size, MADV_HUGEPAGE);
    }
    return PixelMemory(p);
}
