// The global allocation operators. Every form (plain, array, sized, aligned,
// nothrow) goes through the same two routines, so no pairing of new and
// delete forms can hand a pool block to free() or a heap block to the pool:
// delete decides by address, never by form.
//
// Under AddressSanitizer every request goes to the heap instead of the pool.
// The pool reuses the most recently freed block at once, which would turn a
// use-after-free into a silent write into someone else's object, and leaked
// pool blocks would be invisible to the leak checker; on the heap ASan's
// quarantine, redzones and leak report see every object. The pool itself is
// still built and tested directly (its free blocks are poisoned there).
#include <cstdlib>
#include <new>

#include "frame/Allocator.h"
#include "frame/AsanBuild.h"
#include "frame/SmallBlockPool.h"

namespace {

// Constant-initialised: its lock exists from the first allocation on, before
// any dynamic initialiser runs, and it is never destroyed.
constinit CSmallBlockPool gSmallBlockPool;

void* AllocateBlock(size_t bytes, size_t alignment) noexcept
{
#if !LANTERN_ASAN
    if (alignment <= CSmallBlockPool::kBlockSize) {
        if (void* block = gSmallBlockPool.Allocate(bytes)) {
            return block;
        }
    }
#endif
    if (bytes == 0) {
        bytes = 1;
    }
    if (alignment <= alignof(std::max_align_t)) {
        return std::malloc(bytes);
    }
    void* p = nullptr;
    if (posix_memalign(&p, alignment, bytes) != 0) {
        return nullptr;
    }
    return p;
}

void FreeBlock(void* p) noexcept
{
    if (p == nullptr) {
        return;
    }
    if (gSmallBlockPool.Owns(p)) {
        gSmallBlockPool.Free(p);
        return;
    }
    std::free(p);
}

// The standard loop: ask the new-handler for memory until it gives up.
void* AllocateOrThrow(size_t bytes, size_t alignment)
{
    for (;;) {
        if (void* p = AllocateBlock(bytes, alignment)) {
            return p;
        }
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) {
            throw std::bad_alloc();
        }
        handler();
    }
}

void* AllocateNothrow(size_t bytes, size_t alignment) noexcept
{
    try {
        return AllocateOrThrow(bytes, alignment);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

// Referenced from the link line of every program (see src/frame/CMakeLists.txt)
// so that this object file, and with it the operators, is always linked in.
extern "C" void LanternGlobalAllocatorAnchor() {}

bool GlobalAllocatorUsesPool()
{
#if LANTERN_ASAN
    return false;
#else
    return true;
#endif
}

bool GlobalPoolOwns(const void* p)
{
    return gSmallBlockPool.Owns(p);
}

void* operator new(size_t bytes)
{
    return AllocateOrThrow(bytes, 0);
}
void* operator new[](size_t bytes)
{
    return AllocateOrThrow(bytes, 0);
}
void* operator new(size_t bytes, const std::nothrow_t&) noexcept
{
    return AllocateNothrow(bytes, 0);
}
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept
{
    return AllocateNothrow(bytes, 0);
}
void* operator new(size_t bytes, std::align_val_t alignment)
{
    return AllocateOrThrow(bytes, static_cast<size_t>(alignment));
}
void* operator new[](size_t bytes, std::align_val_t alignment)
{
    return AllocateOrThrow(bytes, static_cast<size_t>(alignment));
}
void* operator new(size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateNothrow(bytes, static_cast<size_t>(alignment));
}
void* operator new[](size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateNothrow(bytes, static_cast<size_t>(alignment));
}

void operator delete(void* p) noexcept
{
    FreeBlock(p);
}
void operator delete[](void* p) noexcept
{
    FreeBlock(p);
}
void operator delete(void* p, size_t) noexcept
{
    FreeBlock(p);
}
void operator delete[](void* p, size_t) noexcept
{
    FreeBlock(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    FreeBlock(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    FreeBlock(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    FreeBlock(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    FreeBlock(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept
{
    FreeBlock(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept
{
    FreeBlock(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    FreeBlock(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    FreeBlock(p);
}
