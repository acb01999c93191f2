#include "frame/SmallBlockPool.h"

#include <cstdint>

#include "frame/AsanBuild.h"

// Under AddressSanitizer the free blocks are poisoned and a handed-out block
// is unpoisoned only for the bytes asked for, so a stray access into a free
// block or past a small object's end is still reported.
#if LANTERN_ASAN
#include <sanitizer/asan_interface.h>
#define POOL_POISON(p, n) __asan_poison_memory_region((p), (n))
#define POOL_UNPOISON(p, n) __asan_unpoison_memory_region((p), (n))
#else
#define POOL_POISON(p, n) ((void)(p), (void)(n))
#define POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

void CSmallBlockPool::InitLocked()
{
    // Block 0 on top, so a fresh pool hands out blocks in address order.
    for (size_t i = 0; i < kBlockCount; ++i) {
        freeStack_[i] = static_cast<uint16_t>(kBlockCount - 1 - i);
    }
    freeCount_ = kBlockCount;
    POOL_POISON(storage_, sizeof(storage_));
    initialised_ = true;
}

void* CSmallBlockPool::Allocate(size_t bytes)
{
    if (bytes > kBlockSize) {
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (!initialised_) {
        InitLocked();
    }
    if (freeCount_ == 0) {
        return nullptr;
    }
    uint16_t index = freeStack_[--freeCount_];
    inUse_[index] = true;
    unsigned char* block = storage_ + static_cast<size_t>(index) * kBlockSize;
    POOL_UNPOISON(block, bytes == 0 ? 1 : bytes);
    return block;
}

bool CSmallBlockPool::Owns(const void* p) const
{
    auto address = reinterpret_cast<uintptr_t>(p);
    auto begin = reinterpret_cast<uintptr_t>(storage_);
    return address >= begin && address < begin + sizeof(storage_);
}

bool CSmallBlockPool::Free(void* p)
{
    if (!Owns(p)) {
        return false;
    }
    size_t offset = static_cast<size_t>(static_cast<unsigned char*>(p) - storage_);
    if (offset % kBlockSize != 0) {
        return false;
    }
    size_t index = offset / kBlockSize;
    std::lock_guard<std::mutex> guard(lock_);
    if (!initialised_ || !inUse_[index]) {
        // A double free or a pointer never handed out: keeping the free stack
        // consistent matters more than the caller's mistake.
        return false;
    }
    inUse_[index] = false;
    freeStack_[freeCount_++] = static_cast<uint16_t>(index);
    POOL_POISON(storage_ + offset, kBlockSize);
    return true;
}

size_t CSmallBlockPool::UsedCount() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return initialised_ ? kBlockCount - freeCount_ : 0;
}
