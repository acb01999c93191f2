#include "frame/PixelMemory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// From this size on a picture lies on 2 MB pages: a full screen at 16 bits
// or more. Rounding it up to whole pages costs at most a few per cent then.
constexpr size_t kHugeFrom = size_t{1} << 20;

}  // namespace

void PixelMemoryFree::operator()(uint8_t* p) const noexcept
{
    std::free(p);
}

PixelMemory AllocatePixelMemory(size_t bytes)
{
    bytes = bytes == 0 ? 1 : bytes;
    const bool huge = bytes >= kHugeFrom;
    size_t size = bytes;
    if (huge) {
        if (bytes > SIZE_MAX - (kHugePage - 1)) {
            return nullptr;
        }
        // Whole pages, so that no other allocation shares the last one.
        size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    }
    void* p = nullptr;
    if (posix_memalign(&p, huge ? kHugePage : 64, size) != 0) {
        return nullptr;
    }
    if (huge) {
        // Only a hint: where the system has no huge pages to give, the
        // memory stays on ordinary pages and works the same.
        madvise(p, size, MADV_HUGEPAGE);
    }
    return PixelMemory(static_cast<uint8_t*>(p));
}
