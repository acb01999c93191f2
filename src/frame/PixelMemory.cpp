#include "frame/PixelMemory.h"

#include <sys/mman.h>

#include <array>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "frame/AsanBuild.h"

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// From this size on a picture lies on 2 MB pages: a full screen at 16 bits
// or more. Rounding it up to whole pages costs at most a few per cent then.
constexpr size_t kHugeFrom = size_t{1} << 20;

// Freed blocks on huge pages, kept for the next picture of their size. The
// system must find, clear and map a fresh block's pages (about half a
// millisecond for a screen, a fifth of loading a picture), which the heap
// spares ordinary blocks by handing freed ones out again. At most
// kKeptBytes are kept; the sanitizer build keeps none, so that it sees
// every use of a freed picture.
class KeptBlocks {
public:
    static constexpr size_t kKeptBytes = size_t{32} << 20;

    void* Take(size_t bytes)
    {
        std::lock_guard lock(lock_);
        for (Block& b : blocks_) {
            if (b.p != nullptr && b.bytes == bytes) {
                kept_ -= bytes;
                return std::exchange(b.p, nullptr);
            }
        }
        return nullptr;
    }
    // False when the block does not fit: the caller frees it.
    bool Keep(void* p, size_t bytes)
    {
        std::lock_guard lock(lock_);
        if (LANTERN_ASAN || kept_ + bytes > kKeptBytes) {
            return false;
        }
        for (Block& b : blocks_) {
            if (b.p == nullptr) {
                b = {p, bytes};
                kept_ += bytes;
                return true;
            }
        }
        return false;
    }

private:
    struct Block {
        void* p = nullptr;
        size_t bytes = 0;
    };
    std::mutex lock_;
    std::array<Block, 16> blocks_{};
    size_t kept_ = 0;
};

// Constant-initialised and never destroyed in effect (nothing to destroy):
// planes freed while the program ends still find it.
constinit KeptBlocks gKept;

}  // namespace

void PixelMemoryFree::operator()(uint8_t* p) const noexcept
{
    if (p != nullptr && hugeBytes > 0 && gKept.Keep(p, hugeBytes)) {
        return;
    }
    std::free(p);
}

PixelMemory AllocatePixelMemory(size_t bytes)
{
    bytes = bytes == 0 ? 1 : bytes;
    if (bytes < kHugeFrom) {
        void* p = nullptr;
        return PixelMemory(posix_memalign(&p, 64, bytes) == 0 ? static_cast<uint8_t*>(p) : nullptr);
    }
    if (bytes > SIZE_MAX - (kHugePage - 1)) {
        return nullptr;
    }
    // Whole pages, so that no other allocation shares the last one.
    const size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (void* kept = gKept.Take(size)) {
        return PixelMemory(static_cast<uint8_t*>(kept), PixelMemoryFree{size});
    }
    void* p = nullptr;
    if (posix_memalign(&p, kHugePage, size) != 0) {
        return nullptr;
    }
    // Only a hint: where the system has no huge pages to give, the memory
    // stays on ordinary pages and works the same.
    madvise(p, size, MADV_HUGEPAGE);
    return PixelMemory(static_cast<uint8_t*>(p), PixelMemoryFree{size});
}
