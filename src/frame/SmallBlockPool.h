#pragma once
// CSmallBlockPool: a fixed pool of 4096 blocks of 16 bytes for the program's
// many tiny objects. The most recently freed block is handed out first (it is
// the one most likely still in the cache). All operations take the pool's
// own lock. The object is constant-initialised and needs no destructor, so
// the global allocator can use it before and after every other static.
#include <cstddef>
#include <cstdint>
#include <mutex>

class CSmallBlockPool {
public:
    static constexpr size_t kBlockSize = 16;
    static constexpr size_t kBlockCount = 4096;

    constexpr CSmallBlockPool() = default;

    // A free block for a request of at most kBlockSize bytes; null when the
    // request is larger or every block is in use (the caller then uses the heap).
    void* Allocate(size_t bytes);
    // Returns the block to the pool when `p` is the start of one of its blocks
    // in use; false (and nothing done) for any other pointer.
    bool Free(void* p);
    // Whether `p` points into the pool's storage.
    bool Owns(const void* p) const;
    // Blocks currently handed out.
    size_t UsedCount() const;

private:
    void InitLocked();

    mutable std::mutex lock_;
    bool initialised_ = false;
    size_t freeCount_ = 0;
    // Stack of free block indices; the top is the most recently freed.
    uint16_t freeStack_[kBlockCount] = {};
    bool inUse_[kBlockCount] = {};
    alignas(16) unsigned char storage_[kBlockCount * kBlockSize] = {};
};
